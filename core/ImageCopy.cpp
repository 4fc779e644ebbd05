#include "core/ImageCopy.h"

#include <cstring>

#include "core/Rom.h"

void CopyImageBytes(const CRom& rom, long nOffset, BYTE* pDest, std::size_t nCount) {
  if (nCount == 0) return;  // an image without CHR has no buffer to copy into
  const long size = rom.DataSize();
  std::size_t nCopied = 0;
  if (nOffset >= 0 && nOffset < size) {
    const std::size_t available = static_cast<std::size_t>(size - nOffset);
    nCopied = nCount < available ? nCount : available;
    std::memcpy(pDest, rom.Data() + nOffset, nCopied);
  }
  if (nCopied < nCount) std::memset(pDest + nCopied, 0, nCount - nCopied);
}

long CopyPrgWindow(const CRom& rom, BYTE* pWindow32k) {
  if (rom.m_nPrgSize == 16384) {
    CopyImageBytes(rom, 0, pWindow32k, 16384);
    std::memcpy(pWindow32k + 16384, pWindow32k, 16384);
    return 0x4000;
  }
  CopyImageBytes(rom, 0, pWindow32k, 32768);
  return 0x8000;
}
