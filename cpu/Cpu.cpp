#include "cpu/Cpu.h"

#include <array>
#include <climits>
#include <cstring>

#include "core/Memory.h"
#include "cpu/OpcodeInfo.h"
#include "platform/MessageBox.h"
#include "ppu/Ppu.h"

// The interpreter runs once per emulated instruction, so everything on its
// path is forced inline; only the calls to devices, message boxes and the
// waiting-loop test stay out of line.
#define TOLVAR_HOT [[gnu::always_inline]] inline

namespace {

// Waiting loops: a few loads, compares or bit tests, then a branch back to
// the first of them, such as "wait for vertical blank" on 0x2002 or "wait
// until the NMI changes a counter". They write nothing, so a pass round one
// depends only on the loop's code, the registers and flags at its branch,
// and the values its loads read (0x2002's read clears bits, which then stay
// clear). Once a pass has left all of these as it found them, every pass
// from that state does the same until something outside the loop changes
// one of them, in this scanline or a later one.
constexpr int kMaxPollBody = 6;  // bytes before the branch

// LDA, LDX, LDY, CMP, CPX, CPY, BIT, AND, ORA and EOR: immediate, zero page
// or absolute.
enum EPollMode : BYTE { kNotPoll, kPollImmediate, kPollZeroPage, kPollAbsolute };
constexpr auto kPollModes = [] {
  std::array<EPollMode, 256> table{};
  for (BYTE op : {0xA9, 0xA2, 0xA0, 0xC9, 0xE0, 0xC0, 0x29, 0x09, 0x49}) table[op] = kPollImmediate;
  for (BYTE op : {0xA5, 0xA6, 0xA4, 0xC5, 0xE4, 0xC4, 0x24, 0x25, 0x05, 0x45})
    table[op] = kPollZeroPage;
  for (BYTE op : {0xAD, 0xAE, 0xAC, 0xCD, 0xEC, 0xCC, 0x2C, 0x2D, 0x0D, 0x4D})
    table[op] = kPollAbsolute;
  return table;
}();

// A burst of instructions (CCpu::Run): the registers, the cycle count and
// the bus's pointers in one local object whose operations are all inlined.
// Nothing takes its address, so the compiler splits it into its fields and
// keeps the hot ones in machine registers for the whole burst; as CCpu
// members they would be reloaded and stored around every write to work
// RAM, which may alias any member. Each register is a full machine word
// holding a byte or word value, so no instruction merges parts of
// registers. N and Z are kept as the value they were taken from: Z when its
// low byte is 0, N when bit 7 or bit 15 is set (BIT takes N from another
// value than Z, and puts it in bit 15). I, D, B, bit 5 and the packed
// status byte, which few instructions touch, stay in the CCpu members.
// With kAnywhere the instruction's bytes may lie outside work RAM and the
// PRG window, and are then read through the bus.
//
// The registers that few instructions touch (V, SP, the limit and the code
// region) live in memory for the whole burst, so the machine registers are
// left to the hot ones and calls out keep them without parking.
struct SRare {
  unsigned v = 0, sp = 0;
  int limit = 0;
  const BYTE *start = nullptr, *end = nullptr;  // a burst's region, see EnterPrg
  std::uintptr_t base = 0;
  CInput* input = nullptr;  // the controller port's, for button reads
  IPeriodEnd* periodEnd = nullptr;  // the run's, for ending periods
};

template <bool kAnywhere>
struct SBurst : TBusFastPath<SBurst<kAnywhere>> {
  using TBusFastPath<SBurst>::pRam, TBusFastPath<SBurst>::pPrg;
  using TBusFastPath<SBurst>::ReadByte, TBusFastPath<SBurst>::WriteByte;
  using TBusFastPath<SBurst>::ReadWord;

  // Counts from nCycles towards nLimit; bTest asks for the full test after
  // the first instruction.
  TOLVAR_HOT SBurst(CCpu& cpu, SRare& rare, int nCycles, int nLimit, bool bTest = false)
      : TBusFastPath<SBurst>(cpu.m_pMemory), pCpu(&cpu), v(rare.v), sp(rare.sp),
        left(nLimit - 1 - nCycles), limit(rare.limit), start(rare.start), end(rare.end),
        base(rare.base), input(rare.input) {
    // Its address handed on: the compiler keeps the fields in memory.
    asm volatile("" : : "r"(&rare) : "memory");
    limit = nLimit;
    input = cpu.m_pMemory->m_pInput;
    if (bTest) TestNext();
    FromCpu();
  }

  // The count: the cycles left before the limit is reached are the low 24
  // bits of left, taken as signed.
  TOLVAR_HOT int Left() const { return static_cast<int>(static_cast<unsigned>(left) << 8) >> 8; }
  TOLVAR_HOT int Cycles() const { return limit - 1 - Left(); }
  TOLVAR_HOT void SetCycles(int nCycles) { left = limit - 1 - nCycles; }
  // The instruction ends with the full test of the count and the machine's
  // state: left drops below 0 by 2^24 a time, whatever the count.
  TOLVAR_HOT void TestNext() { left -= 1 << 24; }

  // Calls out of line. A burst parks its registers in memory around them:
  // calls keep only six machine registers, and the compiler would otherwise
  // put whatever does not fit there on the stack for the whole burst,
  // around every instruction. The empty statements make it store the
  // registers before the call and load them after. The other runs, which
  // may call at every step, call plainly.
  template <class Call>
  TOLVAR_HOT auto Aside(Call call) {
    if constexpr (kAnywhere) return call();
    // pc is not among them: a burst sets it wherever it uses it, so it
    // holds nothing between instructions, and needs no machine register.
    struct {
      unsigned a, x, y, nz, c;
      BYTE* pRam;
      const BYTE *pPrg, *code;
    } parked{a, x, y, nz, c, pRam, pPrg, code};
    asm volatile("" : "+m"(parked));
    const auto result = call();
    asm volatile("" : "+m"(parked));
    a = parked.a, x = parked.x, y = parked.y, nz = parked.nz;
    c = parked.c;
    pRam = parked.pRam, pPrg = parked.pPrg, code = parked.code;
    return result;
  }

  // Accesses outside work RAM and the PRG window. The cartridge may show a
  // message, and while it is open the machine may be stopped: after an
  // access there, the instruction ends with the full test. The other
  // devices never change the machine's state.
  TOLVAR_HOT void TestAfter(WORD addr) {
    if (addr >= 0x6000) TestNext();
  }
  TOLVAR_HOT BYTE ReadDevice(WORD addr) {
    // Games read the controller port many times a pass. A button read is
    // answered from the key state in place: without a call the registers
    // need no parking.
    if ((addr | 1) == 0x4017) {
      if (const int nButton = input->ReadButton(addr); nButton >= 0)
        return static_cast<BYTE>(nButton);
    }
    TestAfter(addr);
    return Aside([bus = pCpu->m_pMemory, addr] { return bus->ReadByteSlow(addr); });
  }
  TOLVAR_HOT void WriteDevice(WORD addr, BYTE value) {
    TestAfter(addr);
    Aside([bus = pCpu->m_pMemory, addr, value] { return bus->WriteByteSlow(addr, value), 0; });
  }
  TOLVAR_HOT WORD ReadDeviceWord(WORD addr) {
    TestAfter(addr);
    return Aside([bus = pCpu->m_pMemory, addr] { return bus->ReadWordSlow(addr); });
  }

  // The registers from the CCpu members and back, around anything that
  // looks at them there.
  TOLVAR_HOT void FromCpu() {
    a = pCpu->m_A, x = pCpu->m_X, y = pCpu->m_Y;
    c = pCpu->m_bCarry, v = pCpu->m_bOverflow;
    nz = (pCpu->m_bZero ? 0u : 1u) | (pCpu->m_bNegative ? 0x8000u : 0u);
    pc = pCpu->m_PC, sp = pCpu->m_SP;
  }
  TOLVAR_HOT void ToCpu() const {
    pCpu->m_A = static_cast<BYTE>(a), pCpu->m_X = static_cast<BYTE>(x);
    pCpu->m_Y = static_cast<BYTE>(y);
    pCpu->m_bCarry = static_cast<BYTE>(c), pCpu->m_bOverflow = static_cast<BYTE>(v);
    pCpu->m_bZero = (nz & 0xFF) == 0;
    pCpu->m_bNegative = (nz & 0x8080) != 0;
    pCpu->m_PC = static_cast<WORD>(pc), pCpu->m_SP = static_cast<WORD>(sp);
  }

  // Where the instruction at addr lies whole in work RAM (within one
  // mirror) or in the PRG window, its bytes are read straight from there,
  // as the bus would read them; elsewhere null, and every byte goes through
  // the bus.
  TOLVAR_HOT bool InPlace(unsigned addr) const {
    if (addr >= 0x8000) [[likely]] return addr <= 0xFFFD && (!kAnywhere || pPrg);
    return addr < 0x2000 && (addr & 0x7FF) <= 0x7FD;
  }
  TOLVAR_HOT const BYTE* CodeAt(unsigned addr) const {
    if (!InPlace(addr)) return nullptr;
    return addr >= 0x8000 ? pPrg + (addr - 0x8000) : pRam + (addr & 0x7FF);
  }

  // A burst keeps only the code pointer as it goes, and knows the region
  // it lies in (the PRG window, or one copy of work RAM): from start to
  // end, where an instruction still lies whole in the region, and base,
  // where address 0 would lie. Stepping on then needs one compare and no
  // address arithmetic. Other runs keep pc, and point code at the
  // instruction's bytes when it lies in place.
  TOLVAR_HOT void EnterPrg(unsigned inPrg) {
    code = pPrg + inPrg;
    if (!kAnywhere && start != pPrg) [[unlikely]] {
      start = pPrg, end = pPrg + 0x7FFD;
      base = reinterpret_cast<std::uintptr_t>(pPrg) - 0x8000;
    }
  }
  TOLVAR_HOT void EnterRam(unsigned addr) {
    code = pRam + (addr & 0x7FF);
    start = pRam, end = pRam + 0x7FD;
    base = reinterpret_cast<std::uintptr_t>(code) - addr;
  }
  // The address of the instruction at p in the region, wrapped to 16 bits.
  TOLVAR_HOT unsigned PcOf(const BYTE* p) const {
    return static_cast<WORD>(reinterpret_cast<std::uintptr_t>(p) - base);
  }
  TOLVAR_HOT unsigned Pc() const {
    if constexpr (kAnywhere) return pc;
    return PcOf(code);
  }

  // Operand fetches: one byte read, or one word read for two-byte operands.
  TOLVAR_HOT BYTE Op8() {
    if (kAnywhere && !code) return ReadByte(static_cast<WORD>(pc + 1));
    return code[1];
  }
  TOLVAR_HOT WORD Op16() {
    if (kAnywhere && !code) return ReadWord(static_cast<WORD>(pc + 1));
    return static_cast<WORD>(code[1] | code[2] << 8);
  }

  // Effective addresses. Zero-page indexing wraps within page zero; the
  // indirect pointers are single word reads, so a pointer at 0x00FF takes
  // its high byte from 0x0100.
  TOLVAR_HOT WORD ZpX() { return static_cast<BYTE>(Op8() + x); }
  TOLVAR_HOT WORD ZpY() { return static_cast<BYTE>(Op8() + y); }
  TOLVAR_HOT WORD AbsX() { return static_cast<WORD>(Op16() + x); }
  TOLVAR_HOT WORD AbsY() { return static_cast<WORD>(Op16() + y); }
  TOLVAR_HOT WORD IndX() { return ReadWord(static_cast<BYTE>(Op8() + x)); }
  TOLVAR_HOT WORD IndY() { return static_cast<WORD>(ReadWord(Op8()) + y); }

  // Stack: SP is a full address, so a push below 0x0100 lands in page zero
  // and a pop above 0x01FF reads page two, exactly as the arithmetic says.
  TOLVAR_HOT void Push(BYTE value) {
    WriteByte(static_cast<WORD>(sp), value);
    sp = static_cast<WORD>(sp - 1);
  }
  // The stack is in work RAM but for a runaway SP: look there first.
  TOLVAR_HOT BYTE Pop() {
    sp = static_cast<WORD>(sp + 1);
    if (sp < 0x2000) [[likely]] return pRam[sp & 0x7FF];
    return ReadByte(static_cast<WORD>(sp));
  }
  // A word on a stack within page 1, as it is but for a runaway SP, is two
  // adjacent bytes of work RAM: one word store or load, with no masking.
  TOLVAR_HOT void PushWord(WORD value) {
    // SP read and written once: it lives in memory, and a store to work
    // RAM might change it as far as the compiler knows.
    if (const unsigned s = sp; s - 0x101 < 0xFF) [[likely]] {
      BYTE* const p = pRam + (s - 1);
      p[0] = static_cast<BYTE>(value);
      p[1] = static_cast<BYTE>(value >> 8);
      sp = s - 2;
      return;
    }
    Push(static_cast<BYTE>(value >> 8));
    Push(static_cast<BYTE>(value));
  }
  TOLVAR_HOT WORD PopWord() {
    if (const unsigned s = sp; s - 0xFF < 0xFF) [[likely]] {
      sp = s + 2;
      const BYTE* const p = pRam + (s + 1);
      return static_cast<WORD>(p[0] | p[1] << 8);
    }
    sp = static_cast<WORD>(sp + 2);
    return ReadWord(static_cast<WORD>(sp - 1));
  }

  // The status byte, stored in m_P as PackStatus does, and back.
  TOLVAR_HOT BYTE Pack() {
    const CCpu& cpu = *pCpu;
    pCpu->m_P = static_cast<BYTE>(((nz & 0x8080) != 0) << 7 | v << 6 | cpu.m_bBit5 << 5 |
                                  cpu.m_bBreak << 4 | cpu.m_bDecimal << 3 |
                                  cpu.m_bInterrupt << 2 | ((nz & 0xFF) == 0) << 1 | c);
    return pCpu->m_P;
  }
  TOLVAR_HOT void Unpack(BYTE p) {
    pCpu->m_P = p;
    pCpu->m_bInterrupt = (p >> 2) & 1;
    pCpu->m_bDecimal = (p >> 3) & 1;
    pCpu->m_bBreak = (p >> 4) & 1;
    pCpu->m_bBit5 = (p >> 5) & 1;
    c = p & 1;
    nz = ((p & 2) ? 0 : 1) | (p & 0x80) << 8;
    v = (p >> 6) & 1;
  }

  // ALU. Flags are 0/1 words; decimal mode never enters.
  TOLVAR_HOT void Load(unsigned& reg, BYTE value) { reg = nz = value; }
  TOLVAR_HOT void Adc(BYTE m) {
    const unsigned sum = a + m + c;
    c = sum >> 8;
    v = ((~(a ^ m) & (a ^ sum)) >> 7) & 1;
    a = nz = sum & 0xFF;
  }
  // A - M - (1 - C) is A + ~M + C in eight bits, with carry meaning no borrow.
  TOLVAR_HOT void Sbc(BYTE m) { Adc(static_cast<BYTE>(~m)); }
  TOLVAR_HOT void Compare(unsigned reg, BYTE m) {
    c = reg >= m;
    nz = static_cast<BYTE>(reg - m);
  }
  TOLVAR_HOT void Bit(BYTE m) {
    v = (m >> 6) & 1;
    nz = (a & m) | (m & 0x80) << 8;
  }
  TOLVAR_HOT BYTE Asl(BYTE value) {
    c = value >> 7;
    return static_cast<BYTE>(nz = static_cast<BYTE>(value << 1));
  }
  TOLVAR_HOT BYTE Lsr(BYTE value) {
    c = value & 1;
    return static_cast<BYTE>(nz = value >> 1);
  }
  TOLVAR_HOT BYTE Rol(BYTE value) {
    const BYTE r = static_cast<BYTE>(value << 1 | c);
    c = value >> 7;
    return static_cast<BYTE>(nz = r);
  }
  TOLVAR_HOT BYTE Ror(BYTE value) {
    const BYTE r = static_cast<BYTE>(value >> 1 | c << 7);
    c = value & 1;
    return static_cast<BYTE>(nz = r);
  }
  TOLVAR_HOT BYTE Inc(BYTE value) { return static_cast<BYTE>(nz = static_cast<BYTE>(value + 1)); }
  TOLVAR_HOT BYTE Dec(BYTE value) { return static_cast<BYTE>(nz = static_cast<BYTE>(value - 1)); }

  // Whether a loop starting at target may be a waiting loop: the cheap test
  // that the branch makes before the thorough one.
  TOLVAR_HOT bool IsPollStart(unsigned target) const {
    const BYTE* loop = CodeAt(target);
    return loop && kPollModes[*loop] != kNotPoll;
  }

  // What a waiting loop's pass may change in the registers: A, X, Y, N/Z,
  // C and V.
  TOLVAR_HOT std::uint64_t PollRegisters() const {
    return a | x << 8 | y << 16 | static_cast<std::uint64_t>(nz) << 24 |
           static_cast<std::uint64_t>(c | v << 1) << 40;
  }

  // Delay loops: DEX, DEY, INX or INY, then BNE back to it at pc. At the
  // branch, taken, the passes that still leave the register non-zero and
  // end before the limit are done at once: the register moves by their
  // number, the flags follow it as the last pass's step would set them, and
  // the cycles add up.
  TOLVAR_HOT void SkipCountdown() {
    const BYTE* loop = CodeAt(pc);
    if (!loop || left < 0) return;
    const BYTE op = loop[0];
    if (op != 0xCA && op != 0x88 && op != 0xE8 && op != 0xC8) return;
    const bool bX = op == 0xCA || op == 0xE8, bDown = op == 0xCA || op == 0x88;
    const int reg = static_cast<int>(bX ? x : y);
    const int nPass = kOpcodeCycles[op] + kOpcodeCycles[0xD0] + 2;
    // Steps left until the register reaches 0; the last one falls through.
    const int nToZero = bDown ? reg : 256 - reg;
    int n = left / nPass;
    if (n > nToZero - 1) n = nToZero - 1;
    if (n <= 0) return;
    nz = static_cast<BYTE>(bDown ? reg - n : reg + n);
    if (bX)
      x = nz;
    else
      y = nz;
    left -= n * nPass;
  }

  CCpu* pCpu;
  unsigned a = 0, x = 0, y = 0, nz = 0, c = 0;
  unsigned& v;
  // In a burst, pc is set only where it leaves the code pointer: a jump,
  // and the ways out (aside, done).
  unsigned pc = 0;
  unsigned& sp;
  // The cycles left before the limit is reached, less 2^24 for each
  // request of the full test: the instructions test only its sign.
  int left;
  int& limit;
  const BYTE* code = nullptr;  // the instruction's bytes, see CodeAt
  const BYTE *&start, *&end;
  std::uintptr_t& base;
  CInput*& input;
};

// Read-modify-write on memory: one read, then one write of the result.
template <auto Op, class Burst>
TOLVAR_HOT void Modify(Burst& b, WORD addr) {
  const BYTE value = b.ReadByte(addr);
  b.WriteByte(addr, (b.*Op)(value));
}

// No count of this burst, however far the burst runs.
constexpr int kNoCount = -1000000;
}  // namespace

// The cycles of one pass round the loop from target to the branch at pc
// (taken), with its code and the values its loads would read now put in
// state; 0 when it is not such a loop. Nothing is read with side effects:
// code only from work RAM or the PRG window, data from those and the PPU
// registers other than the data port.
static int DecodePollLoop(const BYTE* pPrg, const BYTE* pRam, const CPpu* pPpu, WORD target,
                          WORD pc, CCpu::SPollState& state) {
  if (target >= pc || pc - target > kMaxPollBody || !pPpu) return 0;
  // The loop and what follows it to eight bytes, all in one copy of work
  // RAM or in the window.
  if (target >= 0x8000 && pPrg && target <= 0xFFF8)
    std::memcpy(state.code, pPrg + (target - 0x8000), sizeof(state.code));
  else if (pc < 0x2000 && (target & 0x7FF) <= 0x7F8)
    std::memcpy(state.code, pRam + (target & 0x7FF), sizeof(state.code));
  else
    return 0;
  const BYTE* code = state.code;
  const int nBranch = pc - target;
  int cycles = kOpcodeCycles[code[nBranch]] + 2;
  int nReads = 0;
  int i = 0;
  for (; i < nBranch; i += kOpcodeLengths[code[i]]) {
    const BYTE op = code[i];
    const WORD operand = static_cast<WORD>(code[i + 1] | code[i + 2] << 8);
    BYTE value = 0;
    switch (kPollModes[op]) {
      case kNotPoll:
        return 0;
      case kPollImmediate:
        break;
      case kPollZeroPage:
        value = pRam[operand & 0xFF];
        break;
      case kPollAbsolute:
        if (operand < 0x2000)
          value = pRam[operand & 0x7FF];
        else if (operand < 0x4000 && (operand & 7) != 7)
          value = pPpu->PeekRegister(operand & 0x2007);
        else if (operand >= 0x8000 && pPrg)
          value = pPrg[operand - 0x8000];
        else
          return 0;
        break;
    }
    if (kPollModes[op] != kPollImmediate)
      state.reads |= static_cast<std::uint32_t>(value) << (8 * nReads++);
    cycles += kOpcodeCycles[op];
  }
  return i == nBranch ? cycles : 0;
}

// At a short branch back, taken from pc to target with cycles counted: when
// it closes a waiting loop whose state is one a pass has been seen to leave
// as it found it, returns the cycles with the passes that would still end
// before the limit skipped.
[[gnu::noinline]] int CCpu::SkipPolls(const BYTE* pPrg, const BYTE* pRam, WORD pc, WORD target,
                                      std::uint64_t regs, int cycles, int nLimit) {
  SPollState now;
  now.regs = regs | static_cast<std::uint64_t>(CPpu::WriteToggle()) << 48;
  const int nPass = DecodePollLoop(pPrg, pRam, m_pMemory->m_pPpu, target, pc, now);
  if (nPass == 0) return cycles;
  SPollRecord& rec = m_poll;
  // Exactly one pass since the last record when the count has grown by one
  // pass in this burst: from the branch, a pass runs straight back to it.
  const bool bSettled =
      rec.nPc == pc && rec.state == now && (rec.bSettled || cycles - rec.nCycles == nPass);
  if (bSettled && cycles < nLimit) cycles += (nLimit - 1 - cycles) / nPass * nPass;
  rec = {pc, cycles, nPass, bSettled, now};
  return cycles;
}

void CCpu::Reset() {
  m_poll = SPollRecord();
  m_A = m_X = m_Y = 0;
  m_bCarry = m_bZero = m_bInterrupt = m_bDecimal = m_bBreak = m_bOverflow = m_bNegative = 0;
  m_bBit5 = 1;
  m_P = 0x20;
  m_SP = 0x01FF;
  m_PC = m_pMemory->ReadWord(0xFFFC);
}

BYTE CCpu::StatusByte() const {
  return static_cast<BYTE>(m_bNegative << 7 | m_bOverflow << 6 | m_bBit5 << 5 | m_bBreak << 4 |
                           m_bDecimal << 3 | m_bInterrupt << 2 | m_bZero << 1 | m_bCarry);
}

BYTE CCpu::PackStatus() { return m_P = StatusByte(); }

void CCpu::UnpackStatus() {
  m_bCarry = m_P & 1;
  m_bZero = (m_P >> 1) & 1;
  m_bInterrupt = (m_P >> 2) & 1;
  m_bDecimal = (m_P >> 3) & 1;
  m_bBreak = (m_P >> 4) & 1;
  m_bBit5 = (m_P >> 5) & 1;
  m_bOverflow = (m_P >> 6) & 1;
  m_bNegative = m_P >> 7;
}

// The stack operations run on the registers as a burst would, and store
// them back.
using SRegisters = SBurst<true>;

template <class Op>
static auto OnRegisters(CCpu& cpu, Op op) {
  SRare rare;
  SRegisters b(cpu, rare, 0, 0);
  const auto result = op(b);
  b.ToCpu();
  return result;
}

void CCpu::Push(BYTE value) {
  OnRegisters(*this, [value](SRegisters& b) { b.Push(value); return 0; });
}
BYTE CCpu::Pop() {
  return OnRegisters(*this, [](SRegisters& b) { return b.Pop(); });
}
void CCpu::PushWord(WORD value) {
  OnRegisters(*this, [value](SRegisters& b) { b.PushWord(value); return 0; });
}
WORD CCpu::PopWord() {
  return OnRegisters(*this, [](SRegisters& b) { return b.PopWord(); });
}

void CCpu::Nmi(int& nCycles) {
  nCycles += 7;
  OnRegisters(*this, [](SRegisters& b) {
    b.PushWord(static_cast<WORD>(b.pc));
    b.Push(b.Pack());
    b.pc = b.ReadWord(0xFFFA);
    return 0;
  });
}

[[gnu::cold, gnu::noinline]] void CCpu::ShowMessage(const char* pszText) {
  if (m_pMessageBox) m_pMessageBox->Show(pszText);
}

bool CCpu::Execute(int& nCycles) {
  // A limit already reached stops the burst after exactly one instruction.
  static constexpr ENesState kRunning = ENesState::Running;
  return ExecuteUntil(nCycles, nCycles, kRunning);
}

bool CCpu::ExecuteUntil(int& nCycles, int nCycleLimit, const ENesState& state,
                        IPeriodEnd* pPeriodEnd) {
  // A burst needs a PRG window to read its code in place.
  return m_pTracer || !m_pMemory->PrgWindow()
             ? Run<ERun::kChecked>(nCycles, nCycleLimit, state)
             : Run<ERun::kBurst>(nCycles, nCycleLimit, state, pPeriodEnd);
}

template <CCpu::ERun kRun>
bool CCpu::Run(int& nCycles, int nCycleLimit, const ENesState& state,
               [[maybe_unused]] IPeriodEnd* pPeriodEnd) {
  constexpr bool kBurst = kRun == ERun::kBurst;
  // Waiting and delay loops are skipped unless traced.
  const bool bSkip = kRun != ERun::kChecked || !m_pTracer;
  // One handler per opcode, each ending in its own test and dispatch of the
  // next instruction (the processor predicts many jumps better than one).
  static const void* const kHandlers[256] = {
      &&op_0x00, &&op_0x01, &&bad, &&bad, &&bad, &&op_0x05, &&op_0x06, &&bad, &&op_0x08, &&op_0x09, &&op_0x0A, &&bad, &&bad, &&op_0x0D, &&op_0x0E, &&bad,
      &&op_0x10, &&op_0x11, &&bad, &&bad, &&bad, &&op_0x15, &&op_0x16, &&bad, &&op_0x18, &&op_0x19, &&bad, &&bad, &&bad, &&op_0x1D, &&op_0x1E, &&bad,
      &&op_0x20, &&op_0x21, &&bad, &&bad, &&op_0x24, &&op_0x25, &&op_0x26, &&bad, &&op_0x28, &&op_0x29, &&op_0x2A, &&bad, &&op_0x2C, &&op_0x2D, &&op_0x2E, &&bad,
      &&op_0x30, &&op_0x31, &&bad, &&bad, &&bad, &&op_0x35, &&op_0x36, &&bad, &&op_0x38, &&op_0x39, &&bad, &&bad, &&bad, &&op_0x3D, &&op_0x3E, &&bad,
      &&op_0x40, &&op_0x41, &&bad, &&bad, &&bad, &&op_0x45, &&op_0x46, &&bad, &&op_0x48, &&op_0x49, &&op_0x4A, &&bad, &&op_0x4C, &&op_0x4D, &&op_0x4E, &&bad,
      &&op_0x50, &&op_0x51, &&bad, &&bad, &&bad, &&op_0x55, &&op_0x56, &&bad, &&op_0x58, &&op_0x59, &&bad, &&bad, &&bad, &&op_0x5D, &&op_0x5E, &&bad,
      &&op_0x60, &&op_0x61, &&bad, &&bad, &&bad, &&op_0x65, &&op_0x66, &&bad, &&op_0x68, &&op_0x69, &&op_0x6A, &&bad, &&op_0x6C, &&op_0x6D, &&op_0x6E, &&bad,
      &&op_0x70, &&op_0x71, &&bad, &&bad, &&bad, &&op_0x75, &&op_0x76, &&bad, &&op_0x78, &&op_0x79, &&bad, &&bad, &&bad, &&op_0x7D, &&op_0x7E, &&bad,
      &&bad, &&op_0x81, &&bad, &&bad, &&op_0x84, &&op_0x85, &&op_0x86, &&bad, &&op_0x88, &&bad, &&op_0x8A, &&bad, &&op_0x8C, &&op_0x8D, &&op_0x8E, &&bad,
      &&op_0x90, &&op_0x91, &&bad, &&bad, &&op_0x94, &&op_0x95, &&op_0x96, &&bad, &&op_0x98, &&op_0x99, &&op_0x9A, &&bad, &&bad, &&op_0x9D, &&bad, &&bad,
      &&op_0xA0, &&op_0xA1, &&op_0xA2, &&bad, &&op_0xA4, &&op_0xA5, &&op_0xA6, &&bad, &&op_0xA8, &&op_0xA9, &&op_0xAA, &&bad, &&op_0xAC, &&op_0xAD, &&op_0xAE, &&bad,
      &&op_0xB0, &&op_0xB1, &&bad, &&bad, &&op_0xB4, &&op_0xB5, &&op_0xB6, &&bad, &&op_0xB8, &&op_0xB9, &&op_0xBA, &&bad, &&op_0xBC, &&op_0xBD, &&op_0xBE, &&bad,
      &&op_0xC0, &&op_0xC1, &&bad, &&bad, &&op_0xC4, &&op_0xC5, &&op_0xC6, &&bad, &&op_0xC8, &&op_0xC9, &&op_0xCA, &&bad, &&op_0xCC, &&op_0xCD, &&op_0xCE, &&bad,
      &&op_0xD0, &&op_0xD1, &&bad, &&bad, &&bad, &&op_0xD5, &&op_0xD6, &&bad, &&op_0xD8, &&op_0xD9, &&bad, &&bad, &&bad, &&op_0xDD, &&op_0xDE, &&bad,
      &&op_0xE0, &&op_0xE1, &&bad, &&bad, &&op_0xE4, &&op_0xE5, &&op_0xE6, &&bad, &&op_0xE8, &&op_0xE9, &&op_0xEA, &&bad, &&op_0xEC, &&op_0xED, &&op_0xEE, &&bad,
      &&op_0xF0, &&op_0xF1, &&bad, &&bad, &&bad, &&op_0xF5, &&op_0xF6, &&bad, &&op_0xF8, &&op_0xF9, &&bad, &&bad, &&bad, &&op_0xFD, &&op_0xFE, &&bad,
  };

  // The burst's registers; a state that is not running from the start
  // still lets one instruction run.
  using SB = SBurst<!kBurst>;
  SRare rare;
  rare.periodEnd = pPeriodEnd;
  SB b(*this, rare, nCycles, nCycleLimit, state != ENesState::Running);
  // The table's address in a machine register, so that a dispatch is one
  // indexed jump instead of working the address out again each time: the
  // empty statement hides where it comes from. The period's end, rarely
  // needed, waits in memory and leaves its register to the table.
  const void* const* handlers = kHandlers;
  asm("" : "+r"(handlers));
  bool bOk = true;
  // A record's count belongs to the burst that made it.
  if constexpr (kRun != ERun::kAside) m_poll.nCycles = kNoCount;

  // A message: the box sees the registers as members, and its user may
  // change them. A burst runs the instruction aside instead.
#define MESSAGE(text)                      \
  if constexpr (kBurst) {                  \
    b.pc = b.Pc();                         \
    goto aside;                            \
  } else {                                 \
    b.ToCpu();                             \
    ShowMessage(text);                     \
    b.FromCpu();                           \
    b.TestNext();                          \
  }

  // The instruction at b.pc, wherever it lies.
#define DISPATCH()                                                              \
  if (kRun == ERun::kChecked && m_pTracer) {                                    \
    b.ToCpu();                                                                  \
    m_pTracer->TraceInstruction(*this, b.Cycles());                             \
  }                                                                             \
  if (const unsigned inPrg = b.pc - 0x8000; inPrg <= 0x7FFD && (kBurst || b.pPrg)) \
      [[likely]] {                                                              \
    b.EnterPrg(inPrg);                                                          \
    goto* handlers[b.code[0]];                                                  \
  }                                                                             \
  if (b.pc < 0x2000 && (b.pc & 0x7FF) <= 0x7FD) {                               \
    b.EnterRam(b.pc);                                                           \
    goto* handlers[b.code[0]];                                                  \
  }                                                                             \
  b.pc = static_cast<WORD>(b.pc);                                               \
  if constexpr (kBurst) goto aside;                                             \
  b.code = nullptr;                                                             \
  goto* handlers[b.ReadByte(static_cast<WORD>(b.pc))]

  // Every instruction ends in a test: the burst goes on while the period
  // has cycles left and the machine runs. A quiet period (IPeriodEnd) ends
  // right here, and the burst goes on in place, counting the next from 0.
  // Then a jump goes on at b.pc.
#define TEST(pcForDone)                                                        \
  if (b.left < 0) [[unlikely]] {                                               \
    b.left = b.Left();                                                         \
    if (kBurst && b.left < 0 && rare.periodEnd && rare.periodEnd->m_nQuietPeriods > 0) { \
      --rare.periodEnd->m_nQuietPeriods;                                       \
      b.SetCycles(0);                                                          \
      m_poll.nCycles = kNoCount;                                               \
    }                                                                          \
    if (b.left < 0 || state != ENesState::Running) {                           \
      b.pc = pcForDone;                                                        \
      goto stop;                                                               \
    }                                                                          \
  }
#define NEXT()                                                                 \
  TEST(b.pc)                                                                   \
  if constexpr (kRun == ERun::kAside) {                                        \
    if (b.InPlace(b.pc)) goto done;                                            \
  }                                                                            \
  DISPATCH()

  // A burst's next instruction at p, in its region when p is not below
  // start (a step forward never is) and not past end.
#define NEXT_AT(p, bCheckStart)                                                \
  {                                                                            \
    const BYTE* const pNext = (p);                                             \
    TEST(b.PcOf(pNext))                                                        \
    if ((!(bCheckStart) || pNext >= b.start) && pNext <= b.end) [[likely]] {   \
      b.code = pNext;                                                          \
      goto* handlers[pNext[0]];                                                \
    }                                                                          \
    b.pc = b.PcOf(pNext);                                                      \
    goto far;                                                                  \
  }

  // An instruction that adds its table length and cycles.
#define STEP(len, cycles)        \
  b.left -= cycles;              \
  if constexpr (kBurst) {        \
    NEXT_AT(b.code + len, false) \
  } else {                       \
    b.pc += len;                 \
    NEXT();                      \
  }
#define I(op, body) \
  op_##op : body;   \
  STEP(kOpcodeLengths[op], kOpcodeCycles[op])

  // Branches read their offset only when taken. Each way ends in its own
  // dispatch, which predicts the next instruction better.
#define BRANCH(op, cond)                                                                \
  op_##op : if (cond) {                                                                 \
    const signed char offset = static_cast<signed char>(b.Op8());                       \
    /* back by at most kMaxPollBody + 2 bytes: one compare */                         \
    if (bSkip && static_cast<BYTE>(offset) >= 256 - (kMaxPollBody + 2)) [[unlikely]] { \
      b.left -= kOpcodeCycles[op] + 2;                                                  \
      const unsigned from = b.Pc();                                                     \
      b.pc = static_cast<WORD>(from + 2 + offset);                                      \
      if (op == 0xD0 && offset == -3) {                                                 \
        b.SkipCountdown();                                                              \
      } else if (b.left >= 0 && b.IsPollStart(b.pc)) {                                  \
        b.SetCycles(b.Aside([this, pPrg = b.pPrg, pRam = b.pRam, from, to = b.pc,       \
                             regs = b.PollRegisters(), cycles = b.Cycles(), nCycleLimit] { \
          return SkipPolls(pPrg, pRam, static_cast<WORD>(from), static_cast<WORD>(to),  \
                           regs, cycles, nCycleLimit);                                  \
        }));                                                                            \
      }                                                                                 \
      NEXT();                                                                           \
    }                                                                                   \
    /* counted here, so that the test of the count follows at once */                 \
    b.left -= kOpcodeCycles[op] + 2;                                                    \
    if constexpr (kBurst) {                                                             \
      NEXT_AT(b.code + 2 + offset, true)                                                \
    } else {                                                                            \
      b.pc = static_cast<WORD>(b.pc + 2 + offset);                                      \
      NEXT();                                                                           \
    }                                                                                   \
  }                                                                                     \
  STEP(2, kOpcodeCycles[op])

  DISPATCH();

    // ADC
    I(0x69, b.Adc(b.Op8()));
    I(0x65, b.Adc(b.ReadByte(b.Op8())));
    I(0x75, b.Adc(b.ReadByte(b.ZpX())));
    I(0x6D, b.Adc(b.ReadByte(b.Op16())));
    I(0x7D, b.Adc(b.ReadByte(b.AbsX())));
    I(0x79, b.Adc(b.ReadByte(b.AbsY())));
    I(0x61, b.Adc(b.ReadByte(b.IndX())));
    I(0x71, b.Adc(b.ReadByte(b.IndY())));

    // AND
    I(0x29, b.Load(b.a, b.a & b.Op8()));
    I(0x25, b.Load(b.a, b.a & b.ReadByte(b.Op8())));
    I(0x35, b.Load(b.a, b.a & b.ReadByte(b.ZpX())));
    I(0x2D, b.Load(b.a, b.a & b.ReadByte(b.Op16())));
    I(0x3D, b.Load(b.a, b.a & b.ReadByte(b.AbsX())));
    I(0x39, b.Load(b.a, b.a & b.ReadByte(b.AbsY())));
    I(0x21, b.Load(b.a, b.a & b.ReadByte(b.IndX())));
    I(0x31, b.Load(b.a, b.a & b.ReadByte(b.IndY())));

    // ASL
    I(0x0A, b.a = b.Asl(b.a));
    I(0x06, Modify<&SB::Asl>(b, b.Op8()));
    I(0x16, Modify<&SB::Asl>(b, b.ZpX()));
    I(0x0E, Modify<&SB::Asl>(b, b.Op16()));
    I(0x1E, Modify<&SB::Asl>(b, b.AbsX()));

    // BIT
    I(0x24, b.Bit(b.ReadByte(b.Op8())));
    I(0x2C, b.Bit(b.ReadByte(b.Op16())));

    // CMP
    I(0xC9, b.Compare(b.a, b.Op8()));
    I(0xC5, b.Compare(b.a, b.ReadByte(b.Op8())));
    I(0xD5, b.Compare(b.a, b.ReadByte(b.ZpX())));
    I(0xCD, b.Compare(b.a, b.ReadByte(b.Op16())));
    I(0xDD, b.Compare(b.a, b.ReadByte(b.AbsX())));
    I(0xD9, b.Compare(b.a, b.ReadByte(b.AbsY())));
    I(0xC1, b.Compare(b.a, b.ReadByte(b.IndX())));
    I(0xD1, b.Compare(b.a, b.ReadByte(b.IndY())));

    // CPX, CPY
    I(0xE0, b.Compare(b.x, b.Op8()));
    I(0xE4, b.Compare(b.x, b.ReadByte(b.Op8())));
    I(0xEC, b.Compare(b.x, b.ReadByte(b.Op16())));
    I(0xC0, b.Compare(b.y, b.Op8()));
    I(0xC4, b.Compare(b.y, b.ReadByte(b.Op8())));
    I(0xCC, b.Compare(b.y, b.ReadByte(b.Op16())));

    // DEC
    I(0xC6, Modify<&SB::Dec>(b, b.Op8()));
    I(0xD6, Modify<&SB::Dec>(b, b.ZpX()));
    I(0xCE, Modify<&SB::Dec>(b, b.Op16()));
    I(0xDE, Modify<&SB::Dec>(b, b.AbsX()));

    // EOR
    I(0x49, b.Load(b.a, b.a ^ b.Op8()));
    I(0x45, b.Load(b.a, b.a ^ b.ReadByte(b.Op8())));
    I(0x55, b.Load(b.a, b.a ^ b.ReadByte(b.ZpX())));
    I(0x4D, b.Load(b.a, b.a ^ b.ReadByte(b.Op16())));
    I(0x5D, b.Load(b.a, b.a ^ b.ReadByte(b.AbsX())));
    I(0x59, b.Load(b.a, b.a ^ b.ReadByte(b.AbsY())));
    I(0x41, b.Load(b.a, b.a ^ b.ReadByte(b.IndX())));
    I(0x51, b.Load(b.a, b.a ^ b.ReadByte(b.IndY())));

    // INC
    I(0xE6, Modify<&SB::Inc>(b, b.Op8()));
    I(0xF6, Modify<&SB::Inc>(b, b.ZpX()));
    I(0xEE, Modify<&SB::Inc>(b, b.Op16()));
    I(0xFE, Modify<&SB::Inc>(b, b.AbsX()));

    // LDA
    I(0xA9, b.Load(b.a, b.Op8()));
    I(0xA5, b.Load(b.a, b.ReadByte(b.Op8())));
    I(0xB5, b.Load(b.a, b.ReadByte(b.ZpX())));
    I(0xAD, b.Load(b.a, b.ReadByte(b.Op16())));
    I(0xBD, b.Load(b.a, b.ReadByte(b.AbsX())));
    I(0xB9, b.Load(b.a, b.ReadByte(b.AbsY())));
    I(0xA1, b.Load(b.a, b.ReadByte(b.IndX())));
    I(0xB1, b.Load(b.a, b.ReadByte(b.IndY())));

    // LDX
    I(0xA2, b.Load(b.x, b.Op8()));
    I(0xA6, b.Load(b.x, b.ReadByte(b.Op8())));
    I(0xB6, b.Load(b.x, b.ReadByte(b.ZpY())));
    I(0xAE, b.Load(b.x, b.ReadByte(b.Op16())));
    I(0xBE, b.Load(b.x, b.ReadByte(b.AbsY())));

    // LDY
    I(0xA0, b.Load(b.y, b.Op8()));
    I(0xA4, b.Load(b.y, b.ReadByte(b.Op8())));
    I(0xB4, b.Load(b.y, b.ReadByte(b.ZpX())));
    I(0xAC, b.Load(b.y, b.ReadByte(b.Op16())));
    I(0xBC, b.Load(b.y, b.ReadByte(b.AbsX())));

    // LSR
    I(0x4A, b.a = b.Lsr(b.a));
    I(0x46, Modify<&SB::Lsr>(b, b.Op8()));
    I(0x56, Modify<&SB::Lsr>(b, b.ZpX()));
    I(0x4E, Modify<&SB::Lsr>(b, b.Op16()));
    I(0x5E, Modify<&SB::Lsr>(b, b.AbsX()));

    // ORA
    I(0x09, b.Load(b.a, b.a | b.Op8()));
    I(0x05, b.Load(b.a, b.a | b.ReadByte(b.Op8())));
    I(0x15, b.Load(b.a, b.a | b.ReadByte(b.ZpX())));
    I(0x0D, b.Load(b.a, b.a | b.ReadByte(b.Op16())));
    I(0x1D, b.Load(b.a, b.a | b.ReadByte(b.AbsX())));
    I(0x19, b.Load(b.a, b.a | b.ReadByte(b.AbsY())));
    I(0x01, b.Load(b.a, b.a | b.ReadByte(b.IndX())));
    I(0x11, b.Load(b.a, b.a | b.ReadByte(b.IndY())));

    // ROL
    I(0x2A, b.a = b.Rol(b.a));
    I(0x26, Modify<&SB::Rol>(b, b.Op8()));
    I(0x36, Modify<&SB::Rol>(b, b.ZpX()));
    I(0x2E, Modify<&SB::Rol>(b, b.Op16()));
    I(0x3E, Modify<&SB::Rol>(b, b.AbsX()));

    // ROR
    I(0x6A, b.a = b.Ror(b.a));
    I(0x66, Modify<&SB::Ror>(b, b.Op8()));
    I(0x76, Modify<&SB::Ror>(b, b.ZpX()));
    I(0x6E, Modify<&SB::Ror>(b, b.Op16()));
    I(0x7E, Modify<&SB::Ror>(b, b.AbsX()));

    // SBC
    I(0xE9, b.Sbc(b.Op8()));
    I(0xE5, b.Sbc(b.ReadByte(b.Op8())));
    I(0xF5, b.Sbc(b.ReadByte(b.ZpX())));
    I(0xED, b.Sbc(b.ReadByte(b.Op16())));
    I(0xFD, b.Sbc(b.ReadByte(b.AbsX())));
    I(0xF9, b.Sbc(b.ReadByte(b.AbsY())));
    I(0xE1, b.Sbc(b.ReadByte(b.IndX())));
    I(0xF1, b.Sbc(b.ReadByte(b.IndY())));

    // STA
    I(0x85, b.WriteByte(b.Op8(), static_cast<BYTE>(b.a)));
    I(0x95, b.WriteByte(b.ZpX(), static_cast<BYTE>(b.a)));
    I(0x8D, b.WriteByte(b.Op16(), static_cast<BYTE>(b.a)));
    I(0x9D, b.WriteByte(b.AbsX(), static_cast<BYTE>(b.a)));
    I(0x99, b.WriteByte(b.AbsY(), static_cast<BYTE>(b.a)));
    I(0x81, b.WriteByte(b.IndX(), static_cast<BYTE>(b.a)));
    I(0x91, b.WriteByte(b.IndY(), static_cast<BYTE>(b.a)));

    // STX, STY
    I(0x86, b.WriteByte(b.Op8(), static_cast<BYTE>(b.x)));
    I(0x96, b.WriteByte(b.ZpY(), static_cast<BYTE>(b.x)));
    I(0x8E, b.WriteByte(b.Op16(), static_cast<BYTE>(b.x)));
    I(0x84, b.WriteByte(b.Op8(), static_cast<BYTE>(b.y)));
    I(0x94, b.WriteByte(b.ZpX(), static_cast<BYTE>(b.y)));
    I(0x8C, b.WriteByte(b.Op16(), static_cast<BYTE>(b.y)));

    // Flags
    I(0x18, b.c = 0);
    I(0x38, b.c = 1);
    I(0x58, m_bInterrupt = 0);
    I(0x78, m_bInterrupt = 1);
    I(0xB8, b.v = 0);
    I(0xD8, m_bDecimal = 0);

    // Register transfers, increments, decrements
    I(0xAA, b.Load(b.x, static_cast<BYTE>(b.a)));
    I(0xA8, b.Load(b.y, static_cast<BYTE>(b.a)));
    I(0x8A, b.Load(b.a, static_cast<BYTE>(b.x)));
    I(0x98, b.Load(b.a, static_cast<BYTE>(b.y)));
    I(0xBA, b.Load(b.x, static_cast<BYTE>(b.sp)));
    I(0x9A, b.sp = 0x0100 + b.x);
    I(0xE8, b.Load(b.x, static_cast<BYTE>(b.x + 1)));
    I(0xC8, b.Load(b.y, static_cast<BYTE>(b.y + 1)));
    I(0xCA, b.Load(b.x, static_cast<BYTE>(b.x - 1)));
    I(0x88, b.Load(b.y, static_cast<BYTE>(b.y - 1)));

    // Stack
    I(0x48, b.Push(static_cast<BYTE>(b.a)));
    I(0x08, b.Push(b.Pack()));
    I(0x68, b.Load(b.a, b.Pop()));
    I(0x28, b.Unpack(b.Pop()));

    I(0xEA, (void)0);

    // JMP, JSR
    op_0x4C:
      b.pc = b.Op16();
      b.left -= kOpcodeCycles[0x4C];
      NEXT();
    op_0x6C: {
      const WORD ptr = b.Op16();
      // The chip would wrap within the page here; we read the next page.
      if ((ptr & 0xFF) == 0xFF) [[unlikely]] {
        MESSAGE("JMP ($xxFF)");
      }
      b.left -= kOpcodeCycles[0x6C];
      b.pc = b.ReadWord(ptr);
      NEXT();
    }
    op_0x20: {
      const WORD target = b.Op16();
      b.PushWord(static_cast<WORD>(b.Pc() + 2));
      b.pc = target;
      b.left -= kOpcodeCycles[0x20];
      NEXT();
    }

    // Branches
    BRANCH(0x10, !(b.nz & 0x8080));
    BRANCH(0x30, b.nz & 0x8080);
    BRANCH(0x50, !b.v);
    BRANCH(0x70, b.v);
    BRANCH(0x90, !b.c);
    BRANCH(0xB0, b.c);
    BRANCH(0xD0, (b.nz & 0xFF) != 0);
    BRANCH(0xF0, (b.nz & 0xFF) == 0);

    op_0xF8:
      if constexpr (kBurst) {
        b.pc = b.Pc();
        goto aside;
      }
      // Decimal arithmetic is not emulated; a game that asks for it is worth
      // a warning every time.
      m_bDecimal = 1;
      b.pc = static_cast<WORD>(b.pc + 1);
      b.left -= kOpcodeCycles[0xF8];
      MESSAGE("SED!");
      NEXT();

    // Returns and the software interrupt
    op_0x60:
      b.pc = static_cast<WORD>(b.PopWord() + 1);
      b.left -= kOpcodeCycles[0x60];
      NEXT();
    op_0x40:
      b.Unpack(b.Pop());
      b.pc = b.PopWord();
      b.left -= kOpcodeCycles[0x40];
      NEXT();
    op_0x00:
      // Returns to the byte after the opcode, one short of the chip.
      b.left -= kOpcodeCycles[0x00];
      b.PushWord(static_cast<WORD>(b.Pc() + 1));
      m_bBreak = 1;
      b.Push(b.Pack());
      m_bInterrupt = 1;
      b.pc = b.ReadWord(0xFFFE);
      NEXT();

  bad:
    MESSAGE("Bad Opcode Encountered...");
    b.pc = static_cast<WORD>(b.pc + 1);
    bOk = false;
    goto done;

  // A burst's step out of its region goes on wherever b.pc lies.
  [[maybe_unused]] far:
    NEXT();

  // A burst's instructions outside work RAM and the PRG window, or one that
  // shows a message, run aside.
  [[maybe_unused]] aside : {
    int cycles = b.Cycles();
    b.ToCpu();
    bOk = Run<ERun::kAside>(cycles, nCycleLimit, state);
    b.FromCpu();
    b.SetCycles(cycles);
    b.TestNext();
    if (bOk) {
      NEXT();
    }
    goto done;
  }

  // The count has reached the limit, or the machine no longer runs. A
  // burst goes on into the next period where the console can end this one
  // at once: a return and a new burst cost more than the call.
  stop:
    if constexpr (kBurst) {
      if (rare.periodEnd && b.left < 0 && state == ENesState::Running &&
          b.Aside([p = rare.periodEnd] { return p->EndPeriod(); })) {
        b.SetCycles(0);
        m_poll.nCycles = kNoCount;
        b.TestNext();  // the period's end may have changed the machine's state
        NEXT();
      }
    }

  done:
    b.ToCpu();
    nCycles = b.Cycles();
    return bOk;
#undef MESSAGE
#undef DISPATCH
#undef NEXT
#undef TEST
#undef NEXT_AT
#undef STEP
#undef I
#undef BRANCH
}

template bool CCpu::Run<CCpu::ERun::kBurst>(int&, int, const ENesState&, IPeriodEnd*);
template bool CCpu::Run<CCpu::ERun::kAside>(int&, int, const ENesState&, IPeriodEnd*);
template bool CCpu::Run<CCpu::ERun::kChecked>(int&, int, const ENesState&, IPeriodEnd*);
