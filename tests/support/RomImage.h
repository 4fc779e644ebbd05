#pragma once

#include <vector>

#include "platform/Types.h"

// Builds iNES files in memory for tests: header fields plus image data in
// which every byte tells where it came from (ImageByte of its offset).
struct SRomLayout {
  int nPrgBanks = 2;
  int nChrBanks = 1;
  BYTE flags6 = 0;
  BYTE flags7 = 0;
  int nMissingBytes = 0;  // cut off the end
};

std::vector<BYTE> MakeRomFile(const SRomLayout& layout);
// The value MakeRomFile stores at image data offset i.
BYTE ImageByte(long i);
