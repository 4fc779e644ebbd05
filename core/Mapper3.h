#pragma once

#include <vector>

#include "core/Mapper.h"

class CRom;

// CNROM (mappers 3 and 67): fixed PRG, switchable 8 KB CHR bank copied whole
// into the PPU's pattern memory.
class CMapper3 : public CMapper {
 public:
  CMapper3(CRom* pRom, CPpu* pPpu);

  WORD ReadWord(WORD addr) override;
  void WriteByte(WORD addr, BYTE value) override;
  BYTE ReadByte(WORD addr) override;

  BYTE m_nBank = 0;
  std::vector<BYTE> m_pPrgWindow;
  std::vector<BYTE> m_pChr;

 private:
  void CopyChrBank(int nBank, bool bNotify);
};
