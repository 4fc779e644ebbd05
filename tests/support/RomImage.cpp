#include "support/RomImage.h"

BYTE ImageByte(long i) {
  // Mixes bank number and offset, so a byte from the wrong bank or the wrong
  // place in a bank shows up as a different value.
  return static_cast<BYTE>((i * 7 + (i >> 13) * 31 + (i >> 8)) & 0xFF);
}

std::vector<BYTE> MakeRomFile(const SRomLayout& layout) {
  std::vector<BYTE> file = {'N', 'E', 'S', 0x1A, static_cast<BYTE>(layout.nPrgBanks),
                            static_cast<BYTE>(layout.nChrBanks), layout.flags6, layout.flags7,
                            0, 0, 0, 0, 0, 0, 0, 0};
  const long data = layout.nPrgBanks * 16384L + layout.nChrBanks * 8192L - layout.nMissingBytes;
  for (long i = 0; i < data; ++i) file.push_back(ImageByte(i));
  return file;
}
