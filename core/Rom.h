#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

// A cartridge image as read from an iNES file.
class CRom {
 public:
  CRom() = default;
  virtual ~CRom() = default;

  // Reads the file at strPath. False when it cannot be read, is not an iNES
  // image, or holds less image data than the mappers will copy for the sizes
  // its header announces; the fields other than the file name then keep
  // their previous values.
  bool Load(std::string strPath);
  // The same from bytes already in memory (the whole file, header included).
  bool LoadFromBytes(std::string strPath, const std::vector<BYTE>& file);

  // Why the last Load or LoadFromBytes refused the file; empty after one
  // that succeeded.
  const std::string& LoadError() const { return m_strLoadError; }

  // Bytes of image data actually present after the header.
  int DataSize() const { return static_cast<int>(m_data.size()); }
  const BYTE* Data() const { return m_data.data(); }
  // Offset of the CHR data within the image data, as the mappers take it.
  int ChrOffset() const { return m_nPrgSize == 16384 ? 0x4000 : 0x8000; }

  std::string m_strFileName;
  std::vector<BYTE> m_data;  // everything after the 16-byte header
  int m_nPrgSize = 0;
  int m_nChrSize = 0;
  BYTE m_nMapper = 0;
  BYTE m_bBattery = 0;
  BYTE m_bTrainer = 0;
  BYTE m_bFourScreen = 0;
  BYTE m_bVertical = 0;

 private:
  std::string m_strLoadError;
};
