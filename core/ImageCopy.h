#pragma once

#include <cstddef>

#include "platform/Types.h"

class CRom;

// Copies nCount bytes of the image data from nOffset into pDest. Bytes the
// image does not hold are filled with 0, so no copy reads past the data.
void CopyImageBytes(const CRom& rom, long nOffset, BYTE* pDest, std::size_t nCount);

// The PRG layout shared by mappers 0 and 3: a 16 KB PRG seen in both halves
// of the 32 KB window, otherwise the first 32 KB. Returns the CHR offset.
long CopyPrgWindow(const CRom& rom, BYTE* pWindow32k);
