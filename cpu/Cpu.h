#pragma once

#include <cstdint>

#include "core/NesState.h"
#include "platform/Types.h"

class CMemory;
class IMessageBox;

// Receives one line per executed instruction when tracing is on.
class ICpuTracer {
 public:
  virtual ~ICpuTracer() = default;
  // Called before the instruction at cpu.m_PC executes; nCycles is the
  // caller's counter at that moment.
  virtual void TraceInstruction(const class CCpu& cpu, int nCycles) = 0;
};

// The console's end of a scanline period, for a run of instructions that
// goes on into the next period instead of returning.
class IPeriodEnd {
 public:
  virtual ~IPeriodEnd() = default;
  // Called when the run has used up a period's cycles, with the CPU's
  // members out of date. True when it has ended the period: the run goes
  // on, counting the next from 0. False leaves the end to the caller, and
  // the run returns.
  virtual bool EndPeriod() = 0;
  // Periods whose end needs nothing but a new count: the run ends them
  // without a call, taking one from here for each. The console sets it and
  // learns from what is left how many the run has ended.
  int m_nQuietPeriods = 0;
};

// The console's 6502, without decimal arithmetic.
class CCpu {
 public:
  CCpu() = default;
  explicit CCpu(CMemory* pMemory, IMessageBox* pMessageBox = nullptr)
      : m_pMemory(pMemory), m_pMessageBox(pMessageBox) {}
  virtual ~CCpu() = default;

  void Reset();
  // Executes one instruction and adds its cycles to nCycles. False for an
  // opcode outside the instruction set (reported, PC advanced by one).
  bool Execute(int& nCycles);
  // Executes instructions, testing after each one, until nCycles reaches
  // nCycleLimit or state is no longer running. False on a bad opcode. With
  // pPeriodEnd it may go on through further periods (IPeriodEnd).
  bool ExecuteUntil(int& nCycles, int nCycleLimit, const ENesState& state,
                    IPeriodEnd* pPeriodEnd = nullptr);
  void Nmi(int& nCycles);

  BYTE PackStatus();
  // The packed status without storing it, for traces.
  BYTE StatusByte() const;
  void UnpackStatus();
  void Push(BYTE value);
  BYTE Pop();
  void PushWord(WORD value);
  WORD PopWord();
  void SetNZ(BYTE value) {
    m_bZero = value == 0;
    m_bNegative = value >> 7;
  }

  // What a pass round a waiting loop depends on and may change, seen at its
  // branch (Cpu.cpp).
  struct SPollState {
    std::uint64_t regs = 0;   // A, X, Y, N/Z, C, V and the address toggle
    std::uint32_t reads = 0;  // the values its loads would read, in order
    BYTE code[8] = {};        // the loop's bytes
    bool operator==(const SPollState&) const = default;
  };

  // Null switches tracing off; without a tracer the untraced step runs.
  void SetTracer(ICpuTracer* pTracer) { m_pTracer = pTracer; }
  CMemory* Memory() const { return m_pMemory; }

  BYTE m_X = 0;
  BYTE m_Y = 0;
  BYTE m_A = 0;
  WORD m_PC = 0;
  BYTE m_P = 0;
  WORD m_SP = 0;
  BYTE m_bCarry = 0;
  BYTE m_bZero = 0;
  BYTE m_bInterrupt = 0;
  BYTE m_bDecimal = 0;
  BYTE m_bBreak = 0;
  BYTE m_bBit5 = 0;
  BYTE m_bOverflow = 0;
  BYTE m_bNegative = 0;
  CMemory* m_pMemory = nullptr;

 private:
  // How Run goes. A burst reads each instruction in place from work RAM or
  // the PRG window. It runs the others (and any that shows a message) aside:
  // through the bus where they must, until the next instruction lies in
  // place again. A checked run goes like that from start to end, with a
  // trace line before each instruction when tracing; it serves too where
  // there is no PRG window.
  enum class ERun { kBurst, kAside, kChecked };
  template <ERun kRun>
  bool Run(int& nCycles, int nCycleLimit, const ENesState& state,
           IPeriodEnd* pPeriodEnd = nullptr);
  void ShowMessage(const char* pszText);
  int SkipPolls(const BYTE* pPrg, const BYTE* pRam, WORD pc, WORD target, std::uint64_t regs,
                int cycles, int nLimit);

  // The waiting loop last seen, kept from one burst to the next.
  struct SPollRecord {
    int nPc = -1;           // its branch, -1 for none
    int nCycles = 0;        // the count after that branch, in the current burst
    int nPass = 0;          // the cycles of a pass
    bool bSettled = false;  // a pass has left state as it found it
    SPollState state;
  };
  SPollRecord m_poll;

  IMessageBox* m_pMessageBox = nullptr;
  ICpuTracer* m_pTracer = nullptr;
};
