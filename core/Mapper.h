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
  // The word at addr as two byte reads through ReadByte: the high byte at
  // the end of a window comes from the address that follows it.
  WORD WordFromBytes(WORD addr) {
    return static_cast<WORD>(ReadByte(addr) | (ReadByte(static_cast<WORD>(addr + 1)) << 8));
  }
  // ROM at 0x8000-0xFFFF from the window; nothing below.
  BYTE ReadPrgView(WORD addr) const { return addr >= 0x8000 ? m_pPrgView[addr - 0x8000] : 0; }

  CPpu* m_pPpu = nullptr;
  const BYTE* m_pPrgView = nullptr;
};
