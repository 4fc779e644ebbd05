#include "core/Rom.h"

#include <filesystem>
#include <fstream>

namespace {
constexpr int kHeaderSize = 16;

// What the mappers copy out of the image data for these sizes: a 16 KB PRG
// and CHR from 0x4000, or a 32 KB window and CHR from 0x8000, or all of a
// larger PRG.
long RequiredImageBytes(int nPrgSize, int nChrSize) {
  const long chrOffset = nPrgSize == 16384 ? 0x4000 : 0x8000;
  const long windowAndChr = chrOffset + nChrSize;
  return nPrgSize > windowAndChr ? nPrgSize : windowAndChr;
}

bool ReadWholeFile(const std::string& strPath, std::vector<BYTE>& bytes) {
  std::ifstream file(strPath, std::ios::binary);
  if (!file) return false;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0) return false;
  file.seekg(0, std::ios::beg);
  bytes.resize(static_cast<std::size_t>(size));
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  return file.gcount() == size;
}
}  // namespace

bool CRom::Load(std::string strPath) {
  std::vector<BYTE> bytes;
  std::error_code error;
  if (!std::filesystem::is_regular_file(strPath, error) || !ReadWholeFile(strPath, bytes)) {
    m_strFileName = strPath;
    m_strLoadError = "The file cannot be read.";
    return false;
  }
  return LoadFromBytes(std::move(strPath), bytes);
}

bool CRom::LoadFromBytes(std::string strPath, const std::vector<BYTE>& file) {
  m_strFileName = std::move(strPath);
  m_strLoadError = "It is not an iNES cartridge image.";
  if (file.size() < kHeaderSize) return false;
  if (file[0] != 0x4E || file[1] != 0x45 || file[2] != 0x53 || file[3] != 0x1A) return false;

  const int nPrgSize = file[4] << 14;
  const int nChrSize = file[5] << 13;
  const long dataSize = static_cast<long>(file.size()) - kHeaderSize;
  if (dataSize < RequiredImageBytes(nPrgSize, nChrSize)) {
    m_strLoadError = "It holds less data than its header announces.";
    return false;
  }
  m_strLoadError.clear();

  m_nChrSize = nChrSize;
  m_bVertical = file[6] & 1;
  m_bBattery = (file[6] >> 1) & 1;
  m_nPrgSize = nPrgSize;
  m_bTrainer = (file[6] >> 2) & 1;
  m_bFourScreen = (file[6] >> 3) & 1;
  m_nMapper = static_cast<BYTE>((file[7] & 0xF0) | (file[6] >> 4));
  m_data.assign(file.begin() + kHeaderSize, file.end());
  return true;
}
