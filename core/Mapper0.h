#pragma once

#include <vector>

#include "core/Mapper.h"

class CRom;
class IMessageBox;

// NROM (mappers 0 and 64): fixed 32 KB PRG and 8 KB cartridge RAM.
class CMapper0 : public CMapper {
 public:
  CMapper0(CRom* pRom, CPpu* pPpu, IMessageBox* pMessageBox = nullptr);

  void WriteWord(WORD addr, WORD value) override;
  WORD ReadWord(WORD addr) override;
  void WriteByte(WORD addr, BYTE value) override;
  BYTE ReadByte(WORD addr) override;

  BYTE m_Prg[32768];
  BYTE m_Sram[8192];
  std::vector<BYTE> m_pChr;

 private:
  IMessageBox* m_pMessageBox;
};
