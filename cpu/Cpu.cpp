#include "cpu/Cpu.h"

#include "core/Memory.h"
#include "platform/MessageBox.h"

// The interpreter runs once per emulated instruction, so everything on its
// path is forced inline; only the message paths stay out of line.
#define TOLVAR_HOT [[gnu::always_inline]] inline

namespace {

// Stack: SP is a full address, so a push below 0x0100 lands in page zero
// and a pop above 0x01FF reads page two, exactly as the arithmetic says.
TOLVAR_HOT void StackPush(CCpu& c, BYTE value) {
  c.m_pMemory->WriteByte(c.m_SP, value);
  c.m_SP = static_cast<WORD>(c.m_SP - 1);
}

TOLVAR_HOT BYTE StackPop(CCpu& c) {
  c.m_SP = static_cast<WORD>(c.m_SP + 1);
  return c.m_pMemory->ReadByte(c.m_SP);
}

TOLVAR_HOT void StackPushWord(CCpu& c, WORD value) {
  StackPush(c, static_cast<BYTE>(value >> 8));
  StackPush(c, static_cast<BYTE>(value));
}

TOLVAR_HOT WORD StackPopWord(CCpu& c) {
  c.m_SP = static_cast<WORD>(c.m_SP + 2);
  return c.m_pMemory->ReadWord(static_cast<WORD>(c.m_SP - 1));
}

TOLVAR_HOT BYTE Pack(CCpu& c) {
  c.m_P = c.StatusByte();
  return c.m_P;
}

TOLVAR_HOT void Unpack(CCpu& c) {
  const BYTE p = c.m_P;
  c.m_bCarry = p & 1;
  c.m_bZero = (p >> 1) & 1;
  c.m_bInterrupt = (p >> 2) & 1;
  c.m_bDecimal = (p >> 3) & 1;
  c.m_bBreak = (p >> 4) & 1;
  c.m_bBit5 = (p >> 5) & 1;
  c.m_bOverflow = (p >> 6) & 1;
  c.m_bNegative = p >> 7;
}

// Operand fetches: one byte read, or one word read for two-byte operands.
TOLVAR_HOT BYTE Op8(const SBusFastPath* mem, WORD pc) { return mem->ReadByte(static_cast<WORD>(pc + 1)); }
TOLVAR_HOT WORD Op16(const SBusFastPath* mem, WORD pc) { return mem->ReadWord(static_cast<WORD>(pc + 1)); }

// Effective addresses. Zero-page indexing wraps within page zero; the
// indirect pointers are single word reads, so a pointer at 0x00FF takes its
// high byte from 0x0100.
TOLVAR_HOT WORD ZpX(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return static_cast<BYTE>(Op8(mem, pc) + c.m_X);
}
TOLVAR_HOT WORD ZpY(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return static_cast<BYTE>(Op8(mem, pc) + c.m_Y);
}
TOLVAR_HOT WORD AbsX(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return static_cast<WORD>(Op16(mem, pc) + c.m_X);
}
TOLVAR_HOT WORD AbsY(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return static_cast<WORD>(Op16(mem, pc) + c.m_Y);
}
TOLVAR_HOT WORD IndX(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return mem->ReadWord(static_cast<BYTE>(Op8(mem, pc) + c.m_X));
}
TOLVAR_HOT WORD IndY(const CCpu& c, const SBusFastPath* mem, WORD pc) {
  return static_cast<WORD>(mem->ReadWord(Op8(mem, pc)) + c.m_Y);
}

// ALU. Flags are the 0/1 byte fields; decimal mode never enters.
TOLVAR_HOT void Adc(CCpu& c, BYTE m) {
  const unsigned a = c.m_A;
  const unsigned sum = a + m + c.m_bCarry;
  c.m_bCarry = static_cast<BYTE>(sum >> 8);
  c.m_bOverflow = static_cast<BYTE>(((~(a ^ m) & (a ^ sum)) >> 7) & 1);
  c.m_A = static_cast<BYTE>(sum);
  c.SetNZ(c.m_A);
}

// A - M - (1 - C) is A + ~M + C in eight bits, with carry meaning no borrow.
TOLVAR_HOT void Sbc(CCpu& c, BYTE m) { Adc(c, static_cast<BYTE>(~m)); }

TOLVAR_HOT void Compare(CCpu& c, BYTE reg, BYTE m) {
  c.m_bCarry = reg >= m;
  c.SetNZ(static_cast<BYTE>(reg - m));
}

TOLVAR_HOT void Bit(CCpu& c, BYTE m) {
  c.m_bNegative = m >> 7;
  c.m_bOverflow = (m >> 6) & 1;
  c.m_bZero = (c.m_A & m) == 0;
}

TOLVAR_HOT BYTE Asl(CCpu& c, BYTE v) {
  c.m_bCarry = v >> 7;
  const BYTE r = static_cast<BYTE>(v << 1);
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT BYTE Lsr(CCpu& c, BYTE v) {
  c.m_bCarry = v & 1;
  const BYTE r = v >> 1;
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT BYTE Rol(CCpu& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v << 1 | c.m_bCarry);
  c.m_bCarry = v >> 7;
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT BYTE Ror(CCpu& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v >> 1 | c.m_bCarry << 7);
  c.m_bCarry = v & 1;
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT BYTE Inc(CCpu& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v + 1);
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT BYTE Dec(CCpu& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v - 1);
  c.SetNZ(r);
  return r;
}

TOLVAR_HOT void Load(CCpu& c, BYTE& reg, BYTE v) {
  reg = v;
  c.SetNZ(v);
}

// Read-modify-write on memory: one read, then one write of the result.
template <BYTE (*Op)(CCpu&, BYTE)>
TOLVAR_HOT void Modify(CCpu& c, const SBusFastPath* mem, WORD addr) {
  const BYTE v = mem->ReadByte(addr);
  mem->WriteByte(addr, Op(c, v));
}

}  // namespace

void CCpu::Reset() {
  m_A = m_X = m_Y = 0;
  m_bCarry = m_bZero = m_bInterrupt = m_bDecimal = m_bBreak = m_bOverflow = m_bNegative = 0;
  m_bBit5 = 1;
  m_P = 0x20;
  m_SP = 0x01FF;
  m_PC = m_pMemory->ReadWord(0xFFFC);
}

BYTE CCpu::PackStatus() { return Pack(*this); }
void CCpu::UnpackStatus() { Unpack(*this); }
void CCpu::Push(BYTE value) { StackPush(*this, value); }
BYTE CCpu::Pop() { return StackPop(*this); }
void CCpu::PushWord(WORD value) { StackPushWord(*this, value); }
WORD CCpu::PopWord() { return StackPopWord(*this); }

void CCpu::Nmi(int& nCycles) {
  nCycles += 7;
  StackPushWord(*this, m_PC);
  StackPush(*this, Pack(*this));
  m_PC = m_pMemory->ReadWord(0xFFFA);
}

[[gnu::cold, gnu::noinline]] void CCpu::ShowMessage(const char* pszText) {
  if (m_pMessageBox) m_pMessageBox->Show(pszText);
}

template <bool kTraced>
bool CCpu::Step(int& nCycles, const SBusFastPath* mem) {
  if constexpr (kTraced) m_pTracer->TraceInstruction(*this, nCycles);

  const WORD pc = m_PC;
  CCpu& c = *this;

  // Every handler ends here: PC past the instruction, its cycles counted.
#define NEXT(len, cycles)                    \
  m_PC = static_cast<WORD>(pc + (len));      \
  nCycles += (cycles);                       \
  return true

#define BRANCH(cond)                                                            \
  if (cond) {                                                                   \
    m_PC = static_cast<WORD>(pc + 2 + static_cast<signed char>(Op8(mem, pc))); \
    nCycles += 4;                                                               \
  } else {                                                                      \
    m_PC = static_cast<WORD>(pc + 2);                                           \
    nCycles += 2;                                                               \
  }                                                                             \
  return true

  switch (mem->ReadByte(pc)) {
    // ADC
    case 0x69: Adc(c, Op8(mem, pc)); NEXT(2, 2);
    case 0x65: Adc(c, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0x75: Adc(c, mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0x6D: Adc(c, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0x7D: Adc(c, mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0x79: Adc(c, mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0x61: Adc(c, mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0x71: Adc(c, mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // AND
    case 0x29: Load(c, m_A, m_A & Op8(mem, pc)); NEXT(2, 2);
    case 0x25: Load(c, m_A, m_A & mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0x35: Load(c, m_A, m_A & mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0x2D: Load(c, m_A, m_A & mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0x3D: Load(c, m_A, m_A & mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0x39: Load(c, m_A, m_A & mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0x21: Load(c, m_A, m_A & mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0x31: Load(c, m_A, m_A & mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // ASL
    case 0x0A: m_A = Asl(c, m_A); NEXT(1, 2);
    case 0x06: Modify<Asl>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0x16: Modify<Asl>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0x0E: Modify<Asl>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0x1E: Modify<Asl>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // BIT
    case 0x24: Bit(c, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0x2C: Bit(c, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);

    // CMP
    case 0xC9: Compare(c, m_A, Op8(mem, pc)); NEXT(2, 2);
    case 0xC5: Compare(c, m_A, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xD5: Compare(c, m_A, mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0xCD: Compare(c, m_A, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xDD: Compare(c, m_A, mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0xD9: Compare(c, m_A, mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0xC1: Compare(c, m_A, mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0xD1: Compare(c, m_A, mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // CPX, CPY
    case 0xE0: Compare(c, m_X, Op8(mem, pc)); NEXT(2, 2);
    case 0xE4: Compare(c, m_X, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xEC: Compare(c, m_X, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xC0: Compare(c, m_Y, Op8(mem, pc)); NEXT(2, 2);
    case 0xC4: Compare(c, m_Y, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xCC: Compare(c, m_Y, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);

    // DEC
    case 0xC6: Modify<Dec>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0xD6: Modify<Dec>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0xCE: Modify<Dec>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0xDE: Modify<Dec>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // EOR
    case 0x49: Load(c, m_A, m_A ^ Op8(mem, pc)); NEXT(2, 2);
    case 0x45: Load(c, m_A, m_A ^ mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0x55: Load(c, m_A, m_A ^ mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0x4D: Load(c, m_A, m_A ^ mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0x5D: Load(c, m_A, m_A ^ mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0x59: Load(c, m_A, m_A ^ mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0x41: Load(c, m_A, m_A ^ mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0x51: Load(c, m_A, m_A ^ mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // INC
    case 0xE6: Modify<Inc>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0xF6: Modify<Inc>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0xEE: Modify<Inc>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0xFE: Modify<Inc>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // JMP, JSR
    case 0x4C:
      m_PC = Op16(mem, pc);
      nCycles += 3;
      return true;
    case 0x6C: {
      const WORD ptr = Op16(mem, pc);
      nCycles += 5;
      // The chip would wrap within the page here; we read the next page.
      if ((ptr & 0xFF) == 0xFF) [[unlikely]]
        ShowMessage("JMP ($xxFF)");
      m_PC = mem->ReadWord(ptr);
      return true;
    }
    case 0x20: {
      const WORD target = Op16(mem, pc);
      StackPushWord(c, static_cast<WORD>(pc + 2));
      m_PC = target;
      nCycles += 6;
      return true;
    }

    // LDA
    case 0xA9: Load(c, m_A, Op8(mem, pc)); NEXT(2, 2);
    case 0xA5: Load(c, m_A, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xB5: Load(c, m_A, mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0xAD: Load(c, m_A, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xBD: Load(c, m_A, mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0xB9: Load(c, m_A, mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0xA1: Load(c, m_A, mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0xB1: Load(c, m_A, mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // LDX (immediate costs 4 here, not the chip's 2)
    case 0xA2: Load(c, m_X, Op8(mem, pc)); NEXT(2, 4);
    case 0xA6: Load(c, m_X, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xB6: Load(c, m_X, mem->ReadByte(ZpY(c, mem, pc))); NEXT(2, 4);
    case 0xAE: Load(c, m_X, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xBE: Load(c, m_X, mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);

    // LDY
    case 0xA0: Load(c, m_Y, Op8(mem, pc)); NEXT(2, 2);
    case 0xA4: Load(c, m_Y, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xB4: Load(c, m_Y, mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0xAC: Load(c, m_Y, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xBC: Load(c, m_Y, mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);

    // LSR
    case 0x4A: m_A = Lsr(c, m_A); NEXT(1, 2);
    case 0x46: Modify<Lsr>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0x56: Modify<Lsr>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0x4E: Modify<Lsr>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0x5E: Modify<Lsr>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // ORA
    case 0x09: Load(c, m_A, m_A | Op8(mem, pc)); NEXT(2, 2);
    case 0x05: Load(c, m_A, m_A | mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0x15: Load(c, m_A, m_A | mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0x0D: Load(c, m_A, m_A | mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0x1D: Load(c, m_A, m_A | mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0x19: Load(c, m_A, m_A | mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0x01: Load(c, m_A, m_A | mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0x11: Load(c, m_A, m_A | mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // ROL
    case 0x2A: m_A = Rol(c, m_A); NEXT(1, 2);
    case 0x26: Modify<Rol>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0x36: Modify<Rol>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0x2E: Modify<Rol>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0x3E: Modify<Rol>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // ROR
    case 0x6A: m_A = Ror(c, m_A); NEXT(1, 2);
    case 0x66: Modify<Ror>(c, mem, Op8(mem, pc)); NEXT(2, 5);
    case 0x76: Modify<Ror>(c, mem, ZpX(c, mem, pc)); NEXT(2, 6);
    case 0x6E: Modify<Ror>(c, mem, Op16(mem, pc)); NEXT(3, 6);
    case 0x7E: Modify<Ror>(c, mem, AbsX(c, mem, pc)); NEXT(3, 7);

    // SBC
    case 0xE9: Sbc(c, Op8(mem, pc)); NEXT(2, 2);
    case 0xE5: Sbc(c, mem->ReadByte(Op8(mem, pc))); NEXT(2, 3);
    case 0xF5: Sbc(c, mem->ReadByte(ZpX(c, mem, pc))); NEXT(2, 4);
    case 0xED: Sbc(c, mem->ReadByte(Op16(mem, pc))); NEXT(3, 4);
    case 0xFD: Sbc(c, mem->ReadByte(AbsX(c, mem, pc))); NEXT(3, 4);
    case 0xF9: Sbc(c, mem->ReadByte(AbsY(c, mem, pc))); NEXT(3, 4);
    case 0xE1: Sbc(c, mem->ReadByte(IndX(c, mem, pc))); NEXT(2, 6);
    case 0xF1: Sbc(c, mem->ReadByte(IndY(c, mem, pc))); NEXT(2, 5);

    // STA (indexed stores cost no more than plain ones here)
    case 0x85: mem->WriteByte(Op8(mem, pc), m_A); NEXT(2, 3);
    case 0x95: mem->WriteByte(ZpX(c, mem, pc), m_A); NEXT(2, 4);
    case 0x8D: mem->WriteByte(Op16(mem, pc), m_A); NEXT(3, 4);
    case 0x9D: mem->WriteByte(AbsX(c, mem, pc), m_A); NEXT(3, 4);
    case 0x99: mem->WriteByte(AbsY(c, mem, pc), m_A); NEXT(3, 4);
    case 0x81: mem->WriteByte(IndX(c, mem, pc), m_A); NEXT(2, 6);
    case 0x91: mem->WriteByte(IndY(c, mem, pc), m_A); NEXT(2, 5);

    // STX, STY
    case 0x86: mem->WriteByte(Op8(mem, pc), m_X); NEXT(2, 3);
    case 0x96: mem->WriteByte(ZpY(c, mem, pc), m_X); NEXT(2, 4);
    case 0x8E: mem->WriteByte(Op16(mem, pc), m_X); NEXT(3, 4);
    case 0x84: mem->WriteByte(Op8(mem, pc), m_Y); NEXT(2, 3);
    case 0x94: mem->WriteByte(ZpX(c, mem, pc), m_Y); NEXT(2, 4);
    case 0x8C: mem->WriteByte(Op16(mem, pc), m_Y); NEXT(3, 4);

    // Branches read their offset only when taken.
    case 0x10: BRANCH(!m_bNegative);
    case 0x30: BRANCH(m_bNegative);
    case 0x50: BRANCH(!m_bOverflow);
    case 0x70: BRANCH(m_bOverflow);
    case 0x90: BRANCH(!m_bCarry);
    case 0xB0: BRANCH(m_bCarry);
    case 0xD0: BRANCH(!m_bZero);
    case 0xF0: BRANCH(m_bZero);

    // Flags
    case 0x18: m_bCarry = 0; NEXT(1, 2);
    case 0x38: m_bCarry = 1; NEXT(1, 2);
    case 0x58: m_bInterrupt = 0; NEXT(1, 2);
    case 0x78: m_bInterrupt = 1; NEXT(1, 2);
    case 0xB8: m_bOverflow = 0; NEXT(1, 2);
    case 0xD8: m_bDecimal = 0; NEXT(1, 2);
    case 0xF8:
      // Decimal arithmetic is not emulated; a game that asks for it is worth
      // a warning every time.
      m_bDecimal = 1;
      m_PC = static_cast<WORD>(pc + 1);
      nCycles += 2;
      ShowMessage("SED!");
      return true;

    // Register transfers, increments, decrements
    case 0xAA: Load(c, m_X, m_A); NEXT(1, 2);
    case 0xA8: Load(c, m_Y, m_A); NEXT(1, 2);
    case 0x8A: Load(c, m_A, m_X); NEXT(1, 2);
    case 0x98: Load(c, m_A, m_Y); NEXT(1, 2);
    case 0xBA: Load(c, m_X, static_cast<BYTE>(m_SP)); NEXT(1, 2);
    case 0x9A: m_SP = static_cast<WORD>(0x0100 + m_X); NEXT(1, 2);
    case 0xE8: Load(c, m_X, static_cast<BYTE>(m_X + 1)); NEXT(1, 2);
    case 0xC8: Load(c, m_Y, static_cast<BYTE>(m_Y + 1)); NEXT(1, 2);
    case 0xCA: Load(c, m_X, static_cast<BYTE>(m_X - 1)); NEXT(1, 2);
    case 0x88: Load(c, m_Y, static_cast<BYTE>(m_Y - 1)); NEXT(1, 2);
    case 0xEA: NEXT(1, 2);

    // Stack
    case 0x48: StackPush(c, m_A); NEXT(1, 3);
    case 0x08: StackPush(c, Pack(c)); NEXT(1, 3);
    case 0x68: Load(c, m_A, StackPop(c)); NEXT(1, 4);
    case 0x28:
      m_P = StackPop(c);
      Unpack(c);
      NEXT(1, 4);

    // Returns and the software interrupt
    case 0x60:
      m_PC = static_cast<WORD>(StackPopWord(c) + 1);
      nCycles += 6;
      return true;
    case 0x40:
      m_P = StackPop(c);
      Unpack(c);
      m_PC = StackPopWord(c);
      nCycles += 6;
      return true;
    case 0x00:
      // Returns to the byte after the opcode, one short of the chip.
      nCycles += 7;
      StackPushWord(c, static_cast<WORD>(pc + 1));
      m_bBreak = 1;
      StackPush(c, Pack(c));
      m_bInterrupt = 1;
      m_PC = mem->ReadWord(0xFFFE);
      return true;

    case 0xFF:  // listed so the dispatch needs no range check
    default:
      ShowMessage("Bad Opcode Encountered...");
      m_PC = static_cast<WORD>(pc + 1);
      return false;
  }
#undef NEXT
#undef BRANCH
}

bool CCpu::Execute(int& nCycles) {
  // A limit already reached stops the burst after exactly one instruction.
  static constexpr ENesState kRunning = ENesState::Running;
  return ExecuteUntil(nCycles, nCycles, kRunning);
}

bool CCpu::ExecuteUntil(int& nCycles, int nCycleLimit, const ENesState& state) {
  // The same instruction step, looped here so that the call and its register
  // saves are paid once per scanline rather than once per instruction.
  // A local counter stays in a register; nothing reads the caller's counter
  // while instructions run.
  int cycles = nCycles;
  bool bOk = true;
  const SBusFastPath bus(m_pMemory);
  if (m_pTracer) {
    do {
      bOk = Step<true>(cycles, &bus);
    } while (bOk && cycles < nCycleLimit && state == ENesState::Running);
  } else {
    do {
      bOk = Step<false>(cycles, &bus);
    } while (bOk && cycles < nCycleLimit && state == ENesState::Running);
  }
  nCycles = cycles;
  return bOk;
}
