#pragma once

#include <vector>

#include "core/Mapper.h"

class CRom;

// UxROM (mapper 2): a switchable 16 KB PRG bank at 0x8000 and the image's
// last 16 KB bank fixed at 0xC000.
class CMapper2 : public CMapper {
 public:
  CMapper2(CRom* pRom, CPpu* pPpu);

  WORD ReadWord(WORD addr) override;
  void WriteByte(WORD addr, BYTE value) override;
  BYTE ReadByte(WORD addr) override;

  BYTE m_nBank = 0;
  std::vector<BYTE> m_pPrg;
  std::vector<BYTE> m_pPrgWindow;

 private:
  // Copies bank (value modulo the number of banks) into the window half.
  void CopyBank(int nBank, BYTE* pHalf);
  int BankCount() const;
};
