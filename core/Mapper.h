#pragma once

#include "platform/Types.h"

class CPpu;

// The cartridge board: answers the CPU at 0x6000-0xFFFF and, for boards with
// switchable character data, copies pattern data into the PPU.
class CMapper {
 public:
  CMapper() = default;
  explicit CMapper(CPpu* pPpu) : m_pPpu(pPpu) {}
  virtual ~CMapper() = default;

  virtual void WriteWord(WORD /*addr*/, WORD /*value*/) {}
  virtual WORD ReadWord(WORD /*addr*/) { return 0; }
  virtual void WriteByte(WORD /*addr*/, BYTE /*value*/) {}
  virtual BYTE ReadByte(WORD /*addr*/) { return 0; }

  // The flat 32 KB the CPU sees at 0x8000-0xFFFF, when the board has one.
  // The bus reads through it directly; it always agrees with ReadByte.
  const BYTE* PrgWindow() const { return m_pPrgView; }

 protected:
  CPpu* m_pPpu = nullptr;
  const BYTE* m_pPrgView = nullptr;
};
