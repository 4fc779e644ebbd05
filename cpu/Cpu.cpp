#include "cpu/Cpu.h"

#include <array>
#include <climits>
#include <cstring>

#include "core/Memory.h"
#include "cpu/OpcodeInfo.h"
#include "platform/MessageBox.h"
#include "ppu/Ppu.h"

// The interpreter runs once per emulated instruction, so everything on its
// path is forced inline; only the message paths stay out of line.
#define TOLVAR_HOT [[gnu::always_inline]] inline

namespace {

// A burst tests the machine's state only after instructions that reached a
// device (or a message box): nothing else can change it. Such an access
// drops the burst's working limit, which sends the end of the instruction
// to the full test.
struct SStateWatch {
  int* pLimit = nullptr;
  void AfterDevice() const {
    if (pLimit) *pLimit = INT_MIN;
  }
};
using SBurstBus = TBusFastPath<SStateWatch>;

// The registers while a burst of instructions runs. They are locals of the
// burst, not members: a store through the bus's byte pointers may alias any
// member, which would make the compiler reload and store them around every
// write to work RAM. Each is a full machine word holding a byte or word
// value, so no instruction has to merge parts of registers. N and Z are kept
// as the value they were taken from: Z when its low byte is 0, N when bit 7
// or bit 15 is set (BIT takes N from another value than Z, and puts it in
// bit 15).
struct SRegs {
  unsigned a, x, y, p;
  unsigned pc, sp;
  unsigned c, i, d, b, bit5, v;
  unsigned nz;
};

SRegs Capture(const CCpu& cpu) {
  return {cpu.m_A,        cpu.m_X,          cpu.m_Y,        cpu.m_P,
          cpu.m_PC,       cpu.m_SP,         cpu.m_bCarry,   cpu.m_bInterrupt,
          cpu.m_bDecimal, cpu.m_bBreak,     cpu.m_bBit5,    cpu.m_bOverflow,
          (cpu.m_bZero ? 0u : 1u) | (cpu.m_bNegative ? 0x8000u : 0u)};
}

void Restore(CCpu& cpu, const SRegs& c) {
  cpu.m_A = c.a;
  cpu.m_X = c.x;
  cpu.m_Y = c.y;
  cpu.m_P = c.p;
  cpu.m_PC = c.pc;
  cpu.m_SP = c.sp;
  cpu.m_bCarry = c.c;
  cpu.m_bInterrupt = c.i;
  cpu.m_bDecimal = c.d;
  cpu.m_bBreak = c.b;
  cpu.m_bBit5 = c.bit5;
  cpu.m_bOverflow = c.v;
  cpu.m_bZero = (c.nz & 0xFF) == 0;
  cpu.m_bNegative = (c.nz & 0x8080) != 0;
}

TOLVAR_HOT void SetNZ(SRegs& c, BYTE value) { c.nz = value; }

// Stack: SP is a full address, so a push below 0x0100 lands in page zero
// and a pop above 0x01FF reads page two, exactly as the arithmetic says.
TOLVAR_HOT void StackPush(SRegs& c, const SBurstBus* mem, BYTE value) {
  mem->WriteByte(c.sp, value);
  c.sp = static_cast<WORD>(c.sp - 1);
}

TOLVAR_HOT BYTE StackPop(SRegs& c, const SBurstBus* mem) {
  c.sp = static_cast<WORD>(c.sp + 1);
  return mem->ReadByte(c.sp);
}

TOLVAR_HOT void StackPushWord(SRegs& c, const SBurstBus* mem, WORD value) {
  StackPush(c, mem, static_cast<BYTE>(value >> 8));
  StackPush(c, mem, static_cast<BYTE>(value));
}

TOLVAR_HOT WORD StackPopWord(SRegs& c, const SBurstBus* mem) {
  c.sp = static_cast<WORD>(c.sp + 2);
  return mem->ReadWord(static_cast<WORD>(c.sp - 1));
}

TOLVAR_HOT BYTE Pack(SRegs& c) {
  c.p = static_cast<BYTE>(((c.nz & 0x8080) != 0) << 7 | c.v << 6 | c.bit5 << 5 | c.b << 4 |
                          c.d << 3 | c.i << 2 | ((c.nz & 0xFF) == 0) << 1 | c.c);
  return c.p;
}

TOLVAR_HOT void Unpack(SRegs& c) {
  const BYTE p = c.p;
  c.c = p & 1;
  c.nz = ((p & 2) ? 0 : 1) | (p & 0x80) << 8;
  c.i = (p >> 2) & 1;
  c.d = (p >> 3) & 1;
  c.b = (p >> 4) & 1;
  c.bit5 = (p >> 5) & 1;
  c.v = (p >> 6) & 1;
}

// Where the instruction at pc lies whole in work RAM (within one mirror) or
// in the PRG window, its bytes are read straight from there, as the bus
// would read them; elsewhere null, and every byte goes through the bus.
TOLVAR_HOT const BYTE* CodeAt(const SBurstBus& bus, unsigned pc) {
  if (pc >= 0x8000) return pc <= 0xFFFD && bus.pPrg ? bus.pPrg + (pc - 0x8000) : nullptr;
  return pc < 0x2000 && (pc & 0x7FF) <= 0x7FD ? bus.pRam + (pc & 0x7FF) : nullptr;
}

// Operand fetches: one byte read, or one word read for two-byte operands.
TOLVAR_HOT BYTE Op8(const SBurstBus* mem, WORD pc, const BYTE* code) {
  return code ? code[1] : mem->ReadByte(static_cast<WORD>(pc + 1));
}
TOLVAR_HOT WORD Op16(const SBurstBus* mem, WORD pc, const BYTE* code) {
  return code ? static_cast<WORD>(code[1] | code[2] << 8) : mem->ReadWord(static_cast<WORD>(pc + 1));
}

// Effective addresses. Zero-page indexing wraps within page zero; the
// indirect pointers are single word reads, so a pointer at 0x00FF takes its
// high byte from 0x0100.
TOLVAR_HOT WORD ZpX(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return static_cast<BYTE>(Op8(mem, pc, code) + c.x);
}
TOLVAR_HOT WORD ZpY(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return static_cast<BYTE>(Op8(mem, pc, code) + c.y);
}
TOLVAR_HOT WORD AbsX(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return static_cast<WORD>(Op16(mem, pc, code) + c.x);
}
TOLVAR_HOT WORD AbsY(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return static_cast<WORD>(Op16(mem, pc, code) + c.y);
}
TOLVAR_HOT WORD IndX(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return mem->ReadWord(static_cast<BYTE>(Op8(mem, pc, code) + c.x));
}
TOLVAR_HOT WORD IndY(const SRegs& c, const SBurstBus* mem, WORD pc, const BYTE* code) {
  return static_cast<WORD>(mem->ReadWord(Op8(mem, pc, code)) + c.y);
}

// ALU. Flags are 0/1 bytes; decimal mode never enters.
TOLVAR_HOT void Adc(SRegs& c, BYTE m) {
  const unsigned a = c.a;
  const unsigned sum = a + m + c.c;
  c.c = static_cast<BYTE>(sum >> 8);
  c.v = static_cast<BYTE>(((~(a ^ m) & (a ^ sum)) >> 7) & 1);
  c.a = static_cast<BYTE>(sum);
  SetNZ(c, c.a);
}

// A - M - (1 - C) is A + ~M + C in eight bits, with carry meaning no borrow.
TOLVAR_HOT void Sbc(SRegs& c, BYTE m) { Adc(c, static_cast<BYTE>(~m)); }

TOLVAR_HOT void Compare(SRegs& c, BYTE reg, BYTE m) {
  c.c = reg >= m;
  SetNZ(c, static_cast<BYTE>(reg - m));
}

TOLVAR_HOT void Bit(SRegs& c, BYTE m) {
  c.v = (m >> 6) & 1;
  c.nz = (c.a & m) | (m & 0x80) << 8;
}

TOLVAR_HOT BYTE Asl(SRegs& c, BYTE v) {
  c.c = v >> 7;
  const BYTE r = static_cast<BYTE>(v << 1);
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT BYTE Lsr(SRegs& c, BYTE v) {
  c.c = v & 1;
  const BYTE r = v >> 1;
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT BYTE Rol(SRegs& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v << 1 | c.c);
  c.c = v >> 7;
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT BYTE Ror(SRegs& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v >> 1 | c.c << 7);
  c.c = v & 1;
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT BYTE Inc(SRegs& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v + 1);
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT BYTE Dec(SRegs& c, BYTE v) {
  const BYTE r = static_cast<BYTE>(v - 1);
  SetNZ(c, r);
  return r;
}

TOLVAR_HOT void Load(SRegs& c, unsigned& reg, BYTE v) {
  reg = v;
  SetNZ(c, v);
}

// Read-modify-write on memory: one read, then one write of the result.
template <BYTE (*Op)(SRegs&, BYTE)>
TOLVAR_HOT void Modify(SRegs& c, const SBurstBus* mem, WORD addr) {
  const BYTE v = mem->ReadByte(addr);
  mem->WriteByte(addr, Op(c, v));
}

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

// Whether a loop starting at target may be a waiting loop: the cheap test
// that the branch makes before the thorough one.
TOLVAR_HOT bool IsPollStart(const SBurstBus& bus, unsigned target) {
  const BYTE* code = CodeAt(bus, target);
  return code && kPollModes[*code] != kNotPoll;
}

// Delay loops: DEX, DEY, INX or INY, then BNE back to it. At the branch,
// taken, the passes that still leave the register non-zero and end before
// the limit are done at once: the register moves by their number, the flags
// follow it as the last pass's step would set them, and the cycles add up.
TOLVAR_HOT int SkipCountdown(const SBurstBus& bus, SRegs& c, unsigned target, int cycles,
                             int nLimit) {
  const BYTE* code = CodeAt(bus, target);
  if (!code || cycles >= nLimit) return cycles;
  unsigned* pReg;
  int nStep;
  switch (code[0]) {
    case 0xCA: pReg = &c.x; nStep = -1; break;
    case 0x88: pReg = &c.y; nStep = -1; break;
    case 0xE8: pReg = &c.x; nStep = 1; break;
    case 0xC8: pReg = &c.y; nStep = 1; break;
    default: return cycles;
  }
  const int nPass = kOpcodeCycles[code[0]] + kOpcodeCycles[0xD0] + 2;
  // Steps left until the register reaches 0; the last one falls through.
  const int nToZero = nStep < 0 ? static_cast<int>(*pReg) : 256 - static_cast<int>(*pReg);
  int n = (nLimit - 1 - cycles) / nPass;
  if (n > nToZero - 1) n = nToZero - 1;
  if (n <= 0) return cycles;
  *pReg = static_cast<BYTE>(*pReg + nStep * n);
  SetNZ(c, static_cast<BYTE>(*pReg));
  return cycles + n * nPass;
}

// What a waiting loop's pass may change in the registers: A, X, Y, N/Z, C
// and V.
TOLVAR_HOT std::uint64_t PollRegisters(const SRegs& c) {
  return c.a | c.x << 8 | c.y << 16 | static_cast<std::uint64_t>(c.nz) << 24 |
         static_cast<std::uint64_t>(c.c | c.v << 1) << 40;
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
  SRegs c = Capture(*this);
  return Pack(c);
}

// The single operations run on the registers as a burst would, and store
// them back.
template <class Op>
static auto OnRegisters(CCpu& cpu, Op op) {
  SRegs c = Capture(cpu);
  const SBurstBus bus(cpu.m_pMemory);
  const auto result = op(c, &bus);
  Restore(cpu, c);
  return result;
}

BYTE CCpu::PackStatus() {
  return OnRegisters(*this, [](SRegs& c, const SBurstBus*) { return Pack(c); });
}
void CCpu::UnpackStatus() {
  OnRegisters(*this, [](SRegs& c, const SBurstBus*) { Unpack(c); return 0; });
}
void CCpu::Push(BYTE value) {
  OnRegisters(*this, [value](SRegs& c, const SBurstBus* mem) { StackPush(c, mem, value); return 0; });
}
BYTE CCpu::Pop() {
  return OnRegisters(*this, [](SRegs& c, const SBurstBus* mem) { return StackPop(c, mem); });
}
void CCpu::PushWord(WORD value) {
  OnRegisters(*this, [value](SRegs& c, const SBurstBus* mem) { StackPushWord(c, mem, value); return 0; });
}
WORD CCpu::PopWord() {
  return OnRegisters(*this, [](SRegs& c, const SBurstBus* mem) { return StackPopWord(c, mem); });
}

void CCpu::Nmi(int& nCycles) {
  nCycles += 7;
  OnRegisters(*this, [](SRegs& c, const SBurstBus* mem) {
    StackPushWord(c, mem, c.pc);
    StackPush(c, mem, Pack(c));
    c.pc = mem->ReadWord(0xFFFA);
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

bool CCpu::ExecuteUntil(int& nCycles, int nCycleLimit, const ENesState& state) {
  return m_pTracer ? Run<true>(nCycles, nCycleLimit, state)
                   : Run<false>(nCycles, nCycleLimit, state);
}

template <bool kTraced>
bool CCpu::Run(int& nCycles, int nCycleLimit, const ENesState& state) {
  // One handler per opcode, each ending in its own test and dispatch of the
  // next instruction (the processor predicts many jumps better than one).
  // Registers and the cycle counter stay in locals for the whole burst.
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

  SRegs c = Capture(*this);
  int cycles = nCycles;
  // The limit the instructions test: nCycleLimit, or below any count when
  // the state is to be looked at after the instruction. A state that is not
  // running from the start still lets one instruction run.
  int limit = state == ENesState::Running ? nCycleLimit : INT_MIN;
  const SBurstBus bus(m_pMemory, SStateWatch{&limit});
  const SBurstBus* const mem = &bus;
  unsigned pc = c.pc;
  const BYTE* code = nullptr;  // the instruction's bytes, see CodeAt
  bool bOk = true;
  // A record's count belongs to the burst that made it.
  m_poll.nCycles = kNoCount;

  // Out-of-line calls see the registers as members, and may change them.
#define CALL_OUT(call) \
  c.pc = pc;           \
  Restore(*this, c);   \
  call;                \
  c = Capture(*this);  \
  pc = c.pc;           \
  limit = INT_MIN

#define DISPATCH()                                                   \
  if constexpr (kTraced) {                                           \
    c.pc = pc;                                                       \
    Restore(*this, c);                                               \
    m_pTracer->TraceInstruction(*this, cycles);                      \
  }                                                                  \
  code = CodeAt(bus, pc);                                          \
  goto* kHandlers[code ? code[0] : mem->ReadByte(pc)]

  // Every instruction ends here: the burst goes on while the scanline has
  // cycles left and the machine runs.
#define NEXT()                                                    \
  if (cycles >= limit) [[unlikely]] {                             \
    if (cycles >= nCycleLimit || state != ENesState::Running) goto done; \
    limit = nCycleLimit;                                          \
  }                                                               \
  DISPATCH()

  // An instruction that adds its table length and cycles.
#define I(op, body)                        \
  op_##op : body;                          \
  pc = static_cast<WORD>(pc + kOpcodeLengths[op]); \
  cycles += kOpcodeCycles[op];             \
  NEXT()

  // Branches read their offset only when taken.
#define BRANCH(op, cond)                                                  \
  op_##op : if (cond) {                                                   \
    const unsigned from = pc;                                             \
    const signed char offset = static_cast<signed char>(Op8(mem, pc, code));    \
    pc = static_cast<WORD>(pc + 2 + offset);                              \
    cycles += kOpcodeCycles[op] + 2;                                      \
    if constexpr (!kTraced) {                                             \
      if (offset < 0 && offset >= -(kMaxPollBody + 2) && cycles < nCycleLimit && \
          IsPollStart(bus, pc))                                           \
        cycles = SkipPolls(bus.pPrg, bus.pRam, from, pc,                \
                           PollRegisters(c), cycles, nCycleLimit);  \
      if constexpr (op == 0xD0) {                                         \
        if (offset == -3) cycles = SkipCountdown(bus, c, pc, cycles, nCycleLimit); \
      }                                                                   \
    }                                                                     \
  } else {                                                                \
    pc = static_cast<WORD>(pc + 2);                                       \
    cycles += kOpcodeCycles[op];                                          \
  }                                                                       \
  NEXT()

  DISPATCH();

    // ADC
    I(0x69, Adc(c, Op8(mem, pc, code)));
    I(0x65, Adc(c, mem->ReadByte(Op8(mem, pc, code))));
    I(0x75, Adc(c, mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0x6D, Adc(c, mem->ReadByte(Op16(mem, pc, code))));
    I(0x7D, Adc(c, mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0x79, Adc(c, mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0x61, Adc(c, mem->ReadByte(IndX(c, mem, pc, code))));
    I(0x71, Adc(c, mem->ReadByte(IndY(c, mem, pc, code))));

    // AND
    I(0x29, Load(c, c.a, c.a & Op8(mem, pc, code)));
    I(0x25, Load(c, c.a, c.a & mem->ReadByte(Op8(mem, pc, code))));
    I(0x35, Load(c, c.a, c.a & mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0x2D, Load(c, c.a, c.a & mem->ReadByte(Op16(mem, pc, code))));
    I(0x3D, Load(c, c.a, c.a & mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0x39, Load(c, c.a, c.a & mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0x21, Load(c, c.a, c.a & mem->ReadByte(IndX(c, mem, pc, code))));
    I(0x31, Load(c, c.a, c.a & mem->ReadByte(IndY(c, mem, pc, code))));

    // ASL
    I(0x0A, c.a = Asl(c, c.a));
    I(0x06, Modify<Asl>(c, mem, Op8(mem, pc, code)));
    I(0x16, Modify<Asl>(c, mem, ZpX(c, mem, pc, code)));
    I(0x0E, Modify<Asl>(c, mem, Op16(mem, pc, code)));
    I(0x1E, Modify<Asl>(c, mem, AbsX(c, mem, pc, code)));

    // BIT
    I(0x24, Bit(c, mem->ReadByte(Op8(mem, pc, code))));
    I(0x2C, Bit(c, mem->ReadByte(Op16(mem, pc, code))));

    // CMP
    I(0xC9, Compare(c, c.a, Op8(mem, pc, code)));
    I(0xC5, Compare(c, c.a, mem->ReadByte(Op8(mem, pc, code))));
    I(0xD5, Compare(c, c.a, mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0xCD, Compare(c, c.a, mem->ReadByte(Op16(mem, pc, code))));
    I(0xDD, Compare(c, c.a, mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0xD9, Compare(c, c.a, mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0xC1, Compare(c, c.a, mem->ReadByte(IndX(c, mem, pc, code))));
    I(0xD1, Compare(c, c.a, mem->ReadByte(IndY(c, mem, pc, code))));

    // CPX, CPY
    I(0xE0, Compare(c, c.x, Op8(mem, pc, code)));
    I(0xE4, Compare(c, c.x, mem->ReadByte(Op8(mem, pc, code))));
    I(0xEC, Compare(c, c.x, mem->ReadByte(Op16(mem, pc, code))));
    I(0xC0, Compare(c, c.y, Op8(mem, pc, code)));
    I(0xC4, Compare(c, c.y, mem->ReadByte(Op8(mem, pc, code))));
    I(0xCC, Compare(c, c.y, mem->ReadByte(Op16(mem, pc, code))));

    // DEC
    I(0xC6, Modify<Dec>(c, mem, Op8(mem, pc, code)));
    I(0xD6, Modify<Dec>(c, mem, ZpX(c, mem, pc, code)));
    I(0xCE, Modify<Dec>(c, mem, Op16(mem, pc, code)));
    I(0xDE, Modify<Dec>(c, mem, AbsX(c, mem, pc, code)));

    // EOR
    I(0x49, Load(c, c.a, c.a ^ Op8(mem, pc, code)));
    I(0x45, Load(c, c.a, c.a ^ mem->ReadByte(Op8(mem, pc, code))));
    I(0x55, Load(c, c.a, c.a ^ mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0x4D, Load(c, c.a, c.a ^ mem->ReadByte(Op16(mem, pc, code))));
    I(0x5D, Load(c, c.a, c.a ^ mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0x59, Load(c, c.a, c.a ^ mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0x41, Load(c, c.a, c.a ^ mem->ReadByte(IndX(c, mem, pc, code))));
    I(0x51, Load(c, c.a, c.a ^ mem->ReadByte(IndY(c, mem, pc, code))));

    // INC
    I(0xE6, Modify<Inc>(c, mem, Op8(mem, pc, code)));
    I(0xF6, Modify<Inc>(c, mem, ZpX(c, mem, pc, code)));
    I(0xEE, Modify<Inc>(c, mem, Op16(mem, pc, code)));
    I(0xFE, Modify<Inc>(c, mem, AbsX(c, mem, pc, code)));

    // LDA
    I(0xA9, Load(c, c.a, Op8(mem, pc, code)));
    I(0xA5, Load(c, c.a, mem->ReadByte(Op8(mem, pc, code))));
    I(0xB5, Load(c, c.a, mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0xAD, Load(c, c.a, mem->ReadByte(Op16(mem, pc, code))));
    I(0xBD, Load(c, c.a, mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0xB9, Load(c, c.a, mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0xA1, Load(c, c.a, mem->ReadByte(IndX(c, mem, pc, code))));
    I(0xB1, Load(c, c.a, mem->ReadByte(IndY(c, mem, pc, code))));

    // LDX
    I(0xA2, Load(c, c.x, Op8(mem, pc, code)));
    I(0xA6, Load(c, c.x, mem->ReadByte(Op8(mem, pc, code))));
    I(0xB6, Load(c, c.x, mem->ReadByte(ZpY(c, mem, pc, code))));
    I(0xAE, Load(c, c.x, mem->ReadByte(Op16(mem, pc, code))));
    I(0xBE, Load(c, c.x, mem->ReadByte(AbsY(c, mem, pc, code))));

    // LDY
    I(0xA0, Load(c, c.y, Op8(mem, pc, code)));
    I(0xA4, Load(c, c.y, mem->ReadByte(Op8(mem, pc, code))));
    I(0xB4, Load(c, c.y, mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0xAC, Load(c, c.y, mem->ReadByte(Op16(mem, pc, code))));
    I(0xBC, Load(c, c.y, mem->ReadByte(AbsX(c, mem, pc, code))));

    // LSR
    I(0x4A, c.a = Lsr(c, c.a));
    I(0x46, Modify<Lsr>(c, mem, Op8(mem, pc, code)));
    I(0x56, Modify<Lsr>(c, mem, ZpX(c, mem, pc, code)));
    I(0x4E, Modify<Lsr>(c, mem, Op16(mem, pc, code)));
    I(0x5E, Modify<Lsr>(c, mem, AbsX(c, mem, pc, code)));

    // ORA
    I(0x09, Load(c, c.a, c.a | Op8(mem, pc, code)));
    I(0x05, Load(c, c.a, c.a | mem->ReadByte(Op8(mem, pc, code))));
    I(0x15, Load(c, c.a, c.a | mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0x0D, Load(c, c.a, c.a | mem->ReadByte(Op16(mem, pc, code))));
    I(0x1D, Load(c, c.a, c.a | mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0x19, Load(c, c.a, c.a | mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0x01, Load(c, c.a, c.a | mem->ReadByte(IndX(c, mem, pc, code))));
    I(0x11, Load(c, c.a, c.a | mem->ReadByte(IndY(c, mem, pc, code))));

    // ROL
    I(0x2A, c.a = Rol(c, c.a));
    I(0x26, Modify<Rol>(c, mem, Op8(mem, pc, code)));
    I(0x36, Modify<Rol>(c, mem, ZpX(c, mem, pc, code)));
    I(0x2E, Modify<Rol>(c, mem, Op16(mem, pc, code)));
    I(0x3E, Modify<Rol>(c, mem, AbsX(c, mem, pc, code)));

    // ROR
    I(0x6A, c.a = Ror(c, c.a));
    I(0x66, Modify<Ror>(c, mem, Op8(mem, pc, code)));
    I(0x76, Modify<Ror>(c, mem, ZpX(c, mem, pc, code)));
    I(0x6E, Modify<Ror>(c, mem, Op16(mem, pc, code)));
    I(0x7E, Modify<Ror>(c, mem, AbsX(c, mem, pc, code)));

    // SBC
    I(0xE9, Sbc(c, Op8(mem, pc, code)));
    I(0xE5, Sbc(c, mem->ReadByte(Op8(mem, pc, code))));
    I(0xF5, Sbc(c, mem->ReadByte(ZpX(c, mem, pc, code))));
    I(0xED, Sbc(c, mem->ReadByte(Op16(mem, pc, code))));
    I(0xFD, Sbc(c, mem->ReadByte(AbsX(c, mem, pc, code))));
    I(0xF9, Sbc(c, mem->ReadByte(AbsY(c, mem, pc, code))));
    I(0xE1, Sbc(c, mem->ReadByte(IndX(c, mem, pc, code))));
    I(0xF1, Sbc(c, mem->ReadByte(IndY(c, mem, pc, code))));

    // STA
    I(0x85, mem->WriteByte(Op8(mem, pc, code), c.a));
    I(0x95, mem->WriteByte(ZpX(c, mem, pc, code), c.a));
    I(0x8D, mem->WriteByte(Op16(mem, pc, code), c.a));
    I(0x9D, mem->WriteByte(AbsX(c, mem, pc, code), c.a));
    I(0x99, mem->WriteByte(AbsY(c, mem, pc, code), c.a));
    I(0x81, mem->WriteByte(IndX(c, mem, pc, code), c.a));
    I(0x91, mem->WriteByte(IndY(c, mem, pc, code), c.a));

    // STX, STY
    I(0x86, mem->WriteByte(Op8(mem, pc, code), c.x));
    I(0x96, mem->WriteByte(ZpY(c, mem, pc, code), c.x));
    I(0x8E, mem->WriteByte(Op16(mem, pc, code), c.x));
    I(0x84, mem->WriteByte(Op8(mem, pc, code), c.y));
    I(0x94, mem->WriteByte(ZpX(c, mem, pc, code), c.y));
    I(0x8C, mem->WriteByte(Op16(mem, pc, code), c.y));

    // Flags
    I(0x18, c.c = 0);
    I(0x38, c.c = 1);
    I(0x58, c.i = 0);
    I(0x78, c.i = 1);
    I(0xB8, c.v = 0);
    I(0xD8, c.d = 0);

    // Register transfers, increments, decrements
    I(0xAA, Load(c, c.x, c.a));
    I(0xA8, Load(c, c.y, c.a));
    I(0x8A, Load(c, c.a, c.x));
    I(0x98, Load(c, c.a, c.y));
    I(0xBA, Load(c, c.x, static_cast<BYTE>(c.sp)));
    I(0x9A, c.sp = static_cast<WORD>(0x0100 + c.x));
    I(0xE8, Load(c, c.x, static_cast<BYTE>(c.x + 1)));
    I(0xC8, Load(c, c.y, static_cast<BYTE>(c.y + 1)));
    I(0xCA, Load(c, c.x, static_cast<BYTE>(c.x - 1)));
    I(0x88, Load(c, c.y, static_cast<BYTE>(c.y - 1)));

    // Stack
    I(0x48, StackPush(c, mem, c.a));
    I(0x08, StackPush(c, mem, Pack(c)));
    I(0x68, Load(c, c.a, StackPop(c, mem)));

    I(0xEA, (void)0);

    // JMP, JSR
    op_0x4C:
      pc = Op16(mem, pc, code);
      cycles += kOpcodeCycles[0x4C];
      NEXT();
    op_0x6C: {
      const WORD ptr = Op16(mem, pc, code);
      cycles += kOpcodeCycles[0x6C];
      // The chip would wrap within the page here; we read the next page.
      if ((ptr & 0xFF) == 0xFF) [[unlikely]] {
        CALL_OUT(ShowMessage("JMP ($xxFF)"));
      }
      pc = mem->ReadWord(ptr);
      NEXT();
    }
    op_0x20: {
      const WORD target = Op16(mem, pc, code);
      StackPushWord(c, mem, static_cast<WORD>(pc + 2));
      pc = target;
      cycles += kOpcodeCycles[0x20];
      NEXT();
    }

    // Branches
    BRANCH(0x10, !(c.nz & 0x8080));
    BRANCH(0x30, c.nz & 0x8080);
    BRANCH(0x50, !c.v);
    BRANCH(0x70, c.v);
    BRANCH(0x90, !c.c);
    BRANCH(0xB0, c.c);
    BRANCH(0xD0, (c.nz & 0xFF) != 0);
    BRANCH(0xF0, (c.nz & 0xFF) == 0);

    op_0xF8:
      // Decimal arithmetic is not emulated; a game that asks for it is worth
      // a warning every time.
      c.d = 1;
      pc = static_cast<WORD>(pc + 1);
      cycles += kOpcodeCycles[0xF8];
      CALL_OUT(ShowMessage("SED!"));
      NEXT();

    I(0x28, c.p = StackPop(c, mem); Unpack(c));

    // Returns and the software interrupt
    op_0x60:
      pc = static_cast<WORD>(StackPopWord(c, mem) + 1);
      cycles += kOpcodeCycles[0x60];
      NEXT();
    op_0x40:
      c.p = StackPop(c, mem);
      Unpack(c);
      pc = StackPopWord(c, mem);
      cycles += kOpcodeCycles[0x40];
      NEXT();
    op_0x00:
      // Returns to the byte after the opcode, one short of the chip.
      cycles += kOpcodeCycles[0x00];
      StackPushWord(c, mem, static_cast<WORD>(pc + 1));
      c.b = 1;
      StackPush(c, mem, Pack(c));
      c.i = 1;
      pc = mem->ReadWord(0xFFFE);
      NEXT();

  bad:
    CALL_OUT(ShowMessage("Bad Opcode Encountered..."));
    pc = static_cast<WORD>(pc + 1);
    bOk = false;

  done:
    c.pc = pc;
    Restore(*this, c);
    nCycles = cycles;
    return bOk;
#undef CALL_OUT
#undef DISPATCH
#undef NEXT
#undef I
#undef BRANCH
}

template bool CCpu::Run<true>(int&, int, const ENesState&);
template bool CCpu::Run<false>(int&, int, const ENesState&);
