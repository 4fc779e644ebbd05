#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/Apu.h"
#include "core/Mapper.h"
#include "core/Memory.h"
#include "core/Ram.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "ppu/Ppu.h"

namespace {

// Cartridge space as a flat store that logs every call the bus makes to it.
// It offers no PRG window, so every cartridge access of the CPU shows up here.
class CRecordingMapper : public CMapper {
 public:
  enum class EKind { ReadByte, WriteByte, ReadWord };
  struct SAccess {
    EKind kind;
    WORD addr;
    WORD value;
    bool operator==(const SAccess&) const = default;
  };

  BYTE ReadByte(WORD addr) override {
    m_log.push_back({EKind::ReadByte, addr, m_store[addr]});
    return m_store[addr];
  }
  void WriteByte(WORD addr, BYTE value) override {
    m_log.push_back({EKind::WriteByte, addr, value});
    m_store[addr] = value;
  }
  WORD ReadWord(WORD addr) override {
    const WORD value = static_cast<WORD>(m_store[addr] | m_store[(addr + 1) & 0xFFFF] << 8);
    m_log.push_back({EKind::ReadWord, addr, value});
    return value;
  }

  std::array<BYTE, 0x10000> m_store{};  // indexed by CPU address
  std::vector<SAccess> m_log;
};

using SAccess = CRecordingMapper::SAccess;
using EKind = CRecordingMapper::EKind;

SAccess RB(WORD addr, BYTE value) { return {EKind::ReadByte, addr, value}; }
SAccess WB(WORD addr, BYTE value) { return {EKind::WriteByte, addr, value}; }
SAccess RW(WORD addr, WORD value) { return {EKind::ReadWord, addr, value}; }

// Readable failure output for access logs.
void PrintTo(const SAccess& a, std::ostream* os) {
  static const char* const kNames[] = {"ReadByte", "WriteByte", "ReadWord"};
  char text[48];
  std::snprintf(text, sizeof(text), "%s(0x%04X)=0x%02X", kNames[static_cast<int>(a.kind)],
                a.addr, a.value);
  *os << text;
}

constexpr WORD kStart = 0x8000;

class CpuTest : public ::testing::Test {
 protected:
  CpuTest() {
    Word(0xFFFC, kStart);
    cpu.Reset();
    mapper.m_log.clear();
    messages.Clear();
  }

  // Writes bytes at a CPU address in RAM or cartridge space.
  void Poke(WORD addr, std::initializer_list<BYTE> bytes) {
    for (BYTE b : bytes) {
      if (addr < 0x2000)
        ram.m_data[addr & 0x7FF] = b;
      else
        mapper.m_store[addr] = b;
      ++addr;
    }
  }
  void Word(WORD addr, WORD value) {
    Poke(addr, {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)});
  }
  // Places code at PC.
  void Code(std::initializer_list<BYTE> bytes) { Poke(cpu.m_PC, bytes); }

  // Executes one instruction that must be accepted; returns its cycles.
  int Step() {
    int nCycles = 0;
    EXPECT_TRUE(cpu.Execute(nCycles));
    return nCycles;
  }
  int Run(int nInstructions) {
    int nCycles = 0;
    for (int i = 0; i < nInstructions; ++i) nCycles += Step();
    return nCycles;
  }

  BYTE Stack(WORD addr) const { return ram.m_data[addr & 0x7FF]; }

  CRam ram;
  CPpu ppu{&ram, 0};
  CKeyStateKeyboard keyboard;
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CInput input{&keyboard, &settings, &messages};
  CApu apu;
  CRecordingMapper mapper;
  CMemory bus{&mapper, &ram, &ppu, &input, &apu};
  CCpu cpu{&bus, &messages};
};

using Messages = std::vector<std::string>;

// ---------------------------------------------------------------------------
// State, stack and interrupts

TEST_F(CpuTest, ResetClearsRegistersAndLoadsTheVectorWithOneWordRead) {
  cpu.m_A = cpu.m_X = cpu.m_Y = 0x55;
  cpu.m_bCarry = cpu.m_bZero = cpu.m_bInterrupt = cpu.m_bDecimal = 1;
  cpu.m_bBreak = cpu.m_bOverflow = cpu.m_bNegative = 1;
  cpu.m_bBit5 = 0;
  cpu.m_SP = 0x0123;
  Word(0xFFFC, 0xC234);

  cpu.Reset();

  EXPECT_EQ(cpu.m_A, 0);
  EXPECT_EQ(cpu.m_X, 0);
  EXPECT_EQ(cpu.m_Y, 0);
  EXPECT_EQ(cpu.m_P, 0x20);
  EXPECT_EQ(cpu.PackStatus(), 0x20);  // I is clear after reset, bit 5 set
  EXPECT_EQ(cpu.m_SP, 0x01FF);
  EXPECT_EQ(cpu.m_PC, 0xC234);
  EXPECT_EQ(mapper.m_log, std::vector<SAccess>{RW(0xFFFC, 0xC234)});
}

TEST_F(CpuTest, StatusByteLayoutIsNVBit5BDIZC) {
  struct {
    BYTE CCpu::*flag;
    int bit;
  } const kLayout[] = {
      {&CCpu::m_bCarry, 0}, {&CCpu::m_bZero, 1},  {&CCpu::m_bInterrupt, 2},
      {&CCpu::m_bDecimal, 3}, {&CCpu::m_bBreak, 4}, {&CCpu::m_bBit5, 5},
      {&CCpu::m_bOverflow, 6}, {&CCpu::m_bNegative, 7},
  };
  for (const auto& entry : kLayout) {
    SCOPED_TRACE(entry.bit);
    cpu.m_P = static_cast<BYTE>(1 << entry.bit);
    cpu.UnpackStatus();
    for (const auto& other : kLayout) EXPECT_EQ(cpu.*other.flag, other.bit == entry.bit);
    cpu.m_P = 0;
    EXPECT_EQ(cpu.PackStatus(), 1 << entry.bit);
    EXPECT_EQ(cpu.m_P, 1 << entry.bit);
  }
  cpu.m_P = 0xFF;
  cpu.UnpackStatus();
  EXPECT_EQ(cpu.PackStatus(), 0xFF);
}

TEST_F(CpuTest, StackPointerIsAFullAddressThatLeavesPageOne) {
  cpu.Push(0x11);
  EXPECT_EQ(Stack(0x01FF), 0x11);
  EXPECT_EQ(cpu.m_SP, 0x01FE);

  cpu.m_SP = 0x0100;
  cpu.Push(0x22);
  cpu.Push(0x33);
  EXPECT_EQ(Stack(0x0100), 0x22);
  EXPECT_EQ(Stack(0x00FF), 0x33);  // page zero, not 0x01FF
  EXPECT_EQ(cpu.m_SP, 0x00FE);

  ram.m_data[0x200] = 0x44;
  cpu.m_SP = 0x01FF;
  EXPECT_EQ(cpu.Pop(), 0x44);  // page two, not 0x0100
  EXPECT_EQ(cpu.m_SP, 0x0200);
}

TEST_F(CpuTest, WordStackPushesHighByteFirstAndPopsWithOneWordRead) {
  // A stack in cartridge RAM makes every stack access visible in the log.
  cpu.m_SP = 0x7001;
  cpu.PushWord(0xABCD);
  EXPECT_EQ(cpu.m_SP, 0x6FFF);
  EXPECT_EQ(mapper.m_log, (std::vector<SAccess>{WB(0x7001, 0xAB), WB(0x7000, 0xCD)}));

  mapper.m_log.clear();
  EXPECT_EQ(cpu.PopWord(), 0xABCD);
  EXPECT_EQ(cpu.m_SP, 0x7001);
  EXPECT_EQ(mapper.m_log, std::vector<SAccess>{RW(0x7000, 0xABCD)});
}

TEST_F(CpuTest, NmiPushesNextPcThenStatusAsStoredAndTakesItsVector) {
  Word(0xFFFA, 0x9000);
  cpu.m_PC = 0x8123;
  cpu.m_bCarry = cpu.m_bNegative = 1;

  int nCycles = 100;
  cpu.Nmi(nCycles);

  EXPECT_EQ(nCycles, 107);
  EXPECT_EQ(Stack(0x01FF), 0x81);
  EXPECT_EQ(Stack(0x01FE), 0x23);
  EXPECT_EQ(Stack(0x01FD), 0xA1);  // N, bit 5, C; B not forced on
  EXPECT_EQ(cpu.m_SP, 0x01FC);
  EXPECT_EQ(cpu.m_PC, 0x9000);
  EXPECT_EQ(cpu.m_bInterrupt, 0);
  EXPECT_EQ(cpu.m_bBreak, 0);

  // A stored B goes out as it is, and I does not block a second NMI.
  cpu.m_bBreak = 1;
  cpu.m_bInterrupt = 1;
  cpu.Nmi(nCycles);
  EXPECT_EQ(nCycles, 114);
  EXPECT_EQ(Stack(0x01FA), 0xB5);
}

TEST_F(CpuTest, PlpLoadsBreakAndBit5AndPhpPushesThemAsStored) {
  // PHP; LDA #$30; PHA; PLP; PHP; LDA #$00; PHA; PLP; PHP
  Code({0x08, 0xA9, 0x30, 0x48, 0x28, 0x08, 0xA9, 0x00, 0x48, 0x28, 0x08});

  EXPECT_EQ(Step(), 3);
  EXPECT_EQ(Stack(0x01FF), 0x20);  // after reset: only bit 5

  Run(3);
  EXPECT_EQ(cpu.m_bBreak, 1);
  EXPECT_EQ(cpu.m_bBit5, 1);
  EXPECT_EQ(Step(), 3);
  EXPECT_EQ(Stack(0x01FE), 0x30);

  Run(2);
  EXPECT_EQ(Step(), 4);  // PLP of 0x00
  EXPECT_EQ(cpu.m_bBit5, 0);
  EXPECT_EQ(cpu.m_bBreak, 0);
  Step();
  EXPECT_EQ(Stack(0x01FD), 0x00);
}

TEST_F(CpuTest, BrkPushesOpcodeAddressPlusOneAndRtiReturnsThere) {
  Word(0xFFFE, 0x9000);
  Code({0x00});                // BRK
  Poke(0x9000, {0x40});        // RTI

  EXPECT_EQ(Step(), 7);
  EXPECT_EQ(Stack(0x01FF), 0x80);
  EXPECT_EQ(Stack(0x01FE), 0x01);
  EXPECT_EQ(Stack(0x01FD), 0x30);  // B set before the push, I only after it
  EXPECT_EQ(cpu.m_bBreak, 1);
  EXPECT_EQ(cpu.m_bInterrupt, 1);
  EXPECT_EQ(cpu.m_PC, 0x9000);
  EXPECT_EQ(mapper.m_log, (std::vector<SAccess>{RB(0x8000, 0x00), RW(0xFFFE, 0x9000)}));

  EXPECT_EQ(Step(), 6);
  EXPECT_EQ(cpu.m_PC, 0x8001);
  EXPECT_EQ(cpu.m_SP, 0x01FF);
  EXPECT_EQ(cpu.m_bInterrupt, 0);  // restored from the stack
  EXPECT_EQ(cpu.m_bBreak, 1);      // stays until a byte with bit 4 clear is loaded
}

TEST_F(CpuTest, JsrPushesAddressOfItsLastByteAndRtsAddsOne) {
  Code({0x20, 0x00, 0x90});  // JSR $9000
  Poke(0x9000, {0x60});      // RTS

  EXPECT_EQ(Step(), 6);
  EXPECT_EQ(cpu.m_PC, 0x9000);
  EXPECT_EQ(Stack(0x01FF), 0x80);
  EXPECT_EQ(Stack(0x01FE), 0x02);

  EXPECT_EQ(Step(), 6);
  EXPECT_EQ(cpu.m_PC, 0x8003);
  EXPECT_EQ(cpu.m_SP, 0x01FF);
}

TEST_F(CpuTest, IndirectJmpThroughPageEndWarnsAndTakesHighByteFromNextPage) {
  Code({0x6C, 0xFF, 0x80});  // JMP ($80FF)
  Poke(0x80FF, {0x34, 0x12});

  EXPECT_EQ(Step(), 5);
  EXPECT_EQ(cpu.m_PC, 0x1234);  // not 0x6C34 from the start of the page
  EXPECT_EQ(messages.Messages(), Messages{"JMP ($xxFF)"});
  EXPECT_EQ(mapper.m_log, (std::vector<SAccess>{RB(0x8000, 0x6C), RW(0x8001, 0x80FF),
                                                RW(0x80FF, 0x1234)}));

  messages.Clear();
  cpu.m_PC = 0x8000;
  Code({0x6C, 0x20, 0x81});  // JMP ($8120)
  Poke(0x8120, {0x78, 0x56});
  EXPECT_EQ(Step(), 5);
  EXPECT_EQ(cpu.m_PC, 0x5678);
  EXPECT_TRUE(messages.Messages().empty());
}

// ---------------------------------------------------------------------------
// Arithmetic and flags

struct SArithCase {
  BYTE opcode;  // immediate form
  BYTE a, m, carryIn, decimal;
  BYTE result, c, z, v, n;
};

TEST_F(CpuTest, AddAndSubtractSetCarryOverflowZeroNegativeIgnoringDecimal) {
  const SArithCase kCases[] = {
      // ADC
      {0x69, 0x50, 0x50, 0, 0, 0xA0, 0, 0, 1, 1},
      {0x69, 0xFF, 0x01, 0, 0, 0x00, 1, 1, 0, 0},
      {0x69, 0x7F, 0x00, 1, 0, 0x80, 0, 0, 1, 1},
      {0x69, 0xD0, 0x90, 0, 0, 0x60, 1, 0, 1, 0},
      {0x69, 0x09, 0x01, 0, 1, 0x0A, 0, 0, 0, 0},  // binary even with D set
      // SBC
      {0xE9, 0x00, 0x01, 1, 0, 0xFF, 0, 0, 0, 1},
      {0xE9, 0x80, 0x01, 1, 0, 0x7F, 1, 0, 1, 0},
      {0xE9, 0x50, 0xB0, 1, 0, 0xA0, 0, 0, 1, 1},
      {0xE9, 0x05, 0x03, 0, 0, 0x01, 1, 0, 0, 0},  // borrow in
      {0xE9, 0x42, 0x42, 1, 0, 0x00, 1, 1, 0, 0},
      {0xE9, 0x10, 0x01, 1, 1, 0x0F, 1, 0, 0, 0},  // binary even with D set
  };
  for (const auto& t : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << "op " << +t.opcode << " A " << +t.a
                                    << " M " << +t.m << " C " << +t.carryIn);
    cpu.m_PC = kStart;
    cpu.m_A = t.a;
    cpu.m_bCarry = t.carryIn;
    cpu.m_bDecimal = t.decimal;
    Code({t.opcode, t.m});
    EXPECT_EQ(Step(), 2);
    EXPECT_EQ(cpu.m_A, t.result);
    EXPECT_EQ(cpu.m_bCarry, t.c);
    EXPECT_EQ(cpu.m_bZero, t.z);
    EXPECT_EQ(cpu.m_bOverflow, t.v);
    EXPECT_EQ(cpu.m_bNegative, t.n);
  }
}

TEST_F(CpuTest, CompareAndBitSetFlagsWithoutChangingRegisters) {
  cpu.m_A = 0x10;
  Code({0xC9, 0x20});  // CMP #$20
  Step();
  EXPECT_EQ(cpu.m_A, 0x10);
  EXPECT_EQ(cpu.m_bCarry, 0);
  EXPECT_EQ(cpu.m_bNegative, 1);
  EXPECT_EQ(cpu.m_bZero, 0);

  cpu.m_X = 0x40;
  Code({0xE0, 0x40});  // CPX #$40
  Step();
  EXPECT_EQ(cpu.m_bCarry, 1);
  EXPECT_EQ(cpu.m_bZero, 1);
  EXPECT_EQ(cpu.m_bNegative, 0);

  cpu.m_Y = 0x90;
  ram.m_data[0x44] = 0x10;
  Code({0xC4, 0x44});  // CPY $44
  Step();
  EXPECT_EQ(cpu.m_Y, 0x90);
  EXPECT_EQ(cpu.m_bCarry, 1);
  EXPECT_EQ(cpu.m_bNegative, 1);  // 0x80 difference

  cpu.m_A = 0x00;
  ram.m_data[0x10] = 0xC0;
  Code({0x24, 0x10});  // BIT $10
  EXPECT_EQ(Step(), 3);
  EXPECT_EQ(cpu.m_bNegative, 1);
  EXPECT_EQ(cpu.m_bOverflow, 1);
  EXPECT_EQ(cpu.m_bZero, 1);
  EXPECT_EQ(cpu.m_A, 0x00);

  cpu.m_A = 0x01;
  Poke(0x6010, {0x01});
  Code({0x2C, 0x10, 0x60});  // BIT $6010
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_bNegative, 0);
  EXPECT_EQ(cpu.m_bOverflow, 0);
  EXPECT_EQ(cpu.m_bZero, 0);
}

TEST_F(CpuTest, ShiftsAndRotatesMoveBitsThroughCarry) {
  cpu.m_bCarry = 1;
  cpu.m_A = 0x00;
  Code({0x6A});  // ROR A
  Step();
  EXPECT_EQ(cpu.m_A, 0x80);
  EXPECT_EQ(cpu.m_bCarry, 0);
  EXPECT_EQ(cpu.m_bNegative, 1);

  cpu.m_A = 0x01;
  Code({0x4A});  // LSR A
  Step();
  EXPECT_EQ(cpu.m_A, 0x00);
  EXPECT_EQ(cpu.m_bCarry, 1);
  EXPECT_EQ(cpu.m_bZero, 1);
  EXPECT_EQ(cpu.m_bNegative, 0);

  cpu.m_A = 0x81;
  Code({0x0A});  // ASL A
  Step();
  EXPECT_EQ(cpu.m_A, 0x02);
  EXPECT_EQ(cpu.m_bCarry, 1);

  ram.m_data[0x20] = 0x80;
  Code({0x26, 0x20});  // ROL $20 with C = 1
  EXPECT_EQ(Step(), 5);
  EXPECT_EQ(ram.m_data[0x20], 0x01);
  EXPECT_EQ(cpu.m_bCarry, 1);
  EXPECT_EQ(cpu.m_bZero, 0);

  cpu.m_X = 0x05;
  Poke(0x6105, {0x01});
  Code({0x5E, 0x00, 0x61});  // LSR $6100,X
  EXPECT_EQ(Step(), 7);
  EXPECT_EQ(mapper.m_store[0x6105], 0x00);
  EXPECT_EQ(cpu.m_bCarry, 1);
  EXPECT_EQ(cpu.m_bZero, 1);
}

TEST_F(CpuTest, IncrementsDecrementsAndTransfersWrapAndSetNZ) {
  cpu.m_X = 0xFF;
  Code({0xE8});  // INX
  Step();
  EXPECT_EQ(cpu.m_X, 0x00);
  EXPECT_EQ(cpu.m_bZero, 1);

  Code({0x88});  // DEY from 0
  Step();
  EXPECT_EQ(cpu.m_Y, 0xFF);
  EXPECT_EQ(cpu.m_bNegative, 1);

  ram.m_data[0x30] = 0x7F;
  Code({0xE6, 0x30});  // INC $30
  EXPECT_EQ(Step(), 5);
  EXPECT_EQ(ram.m_data[0x30], 0x80);
  EXPECT_EQ(cpu.m_bNegative, 1);

  cpu.m_A = 0x00;
  Code({0xA8});  // TAY
  Step();
  EXPECT_EQ(cpu.m_Y, 0x00);
  EXPECT_EQ(cpu.m_bZero, 1);

  cpu.m_X = 0xFF;
  Code({0x9A, 0xA2, 0x00, 0xBA});  // TXS; LDX #0; TSX
  Run(3);
  EXPECT_EQ(cpu.m_SP, 0x01FF);
  EXPECT_EQ(cpu.m_X, 0xFF);
  EXPECT_EQ(cpu.m_bNegative, 1);

  // TSX takes the low byte even once the stack has run into page zero.
  cpu.m_SP = 0x00FE;
  Code({0xBA});
  Step();
  EXPECT_EQ(cpu.m_X, 0xFE);
}

TEST_F(CpuTest, SedSetsDecimalAndWarnsEveryTime) {
  Code({0xF8, 0xF8, 0xD8});  // SED; SED; CLD
  EXPECT_EQ(Step(), 2);
  EXPECT_EQ(cpu.m_bDecimal, 1);
  EXPECT_EQ(cpu.m_PC, 0x8001);
  EXPECT_EQ(messages.Messages(), Messages{"SED!"});
  EXPECT_EQ(cpu.PackStatus() & 0x08, 0x08);

  Step();
  EXPECT_EQ(messages.Messages(), (Messages{"SED!", "SED!"}));
  Step();
  EXPECT_EQ(cpu.m_bDecimal, 0);
  EXPECT_EQ(messages.Messages().size(), 2u);
}

// ---------------------------------------------------------------------------
// Addressing

TEST_F(CpuTest, ZeroPageIndexingWrapsWithinPageZero) {
  ram.m_data[0x10] = 0x5A;
  ram.m_data[0x110] = 0xEE;

  cpu.m_X = 0x90;
  Code({0xB5, 0x80});  // LDA $80,X
  Step();
  EXPECT_EQ(cpu.m_A, 0x5A);

  cpu.m_Y = 0x90;
  Code({0xB6, 0x80});  // LDX $80,Y
  Step();
  EXPECT_EQ(cpu.m_X, 0x5A);

  cpu.m_X = 0x20;
  cpu.m_A = 0x77;
  Code({0x95, 0xF0});  // STA $F0,X
  Step();
  EXPECT_EQ(ram.m_data[0x10], 0x77);
  EXPECT_EQ(ram.m_data[0x110], 0xEE);
}

TEST_F(CpuTest, ZeroPagePointerAtFFTakesHighByteFromPageOne) {
  ram.m_data[0x00] = 0x70;  // where the chip would take the high byte from
  ram.m_data[0xFF] = 0x34;
  ram.m_data[0x100] = 0x62;
  Poke(0x6234, {0x99});
  Poke(0x6236, {0x88});

  cpu.m_X = 0x01;
  Code({0xA1, 0xFE});  // LDA ($FE,X)
  EXPECT_EQ(Step(), 6);
  EXPECT_EQ(cpu.m_A, 0x99);
  EXPECT_EQ(mapper.m_log,
            (std::vector<SAccess>{RB(0x8000, 0xA1), RB(0x8001, 0xFE), RB(0x6234, 0x99)}));

  cpu.m_Y = 0x02;
  Code({0xB1, 0xFF});  // LDA ($FF),Y
  EXPECT_EQ(Step(), 5);
  EXPECT_EQ(cpu.m_A, 0x88);

  // (zp,X) wraps the index within page zero before the pointer is read.
  ram.m_data[0x05] = 0x36;
  ram.m_data[0x06] = 0x62;
  cpu.m_X = 0x10;
  Code({0xA1, 0xF5});  // LDA ($F5,X) -> pointer at $05
  Step();
  EXPECT_EQ(cpu.m_A, 0x88);
}

TEST_F(CpuTest, AbsoluteIndexedAddressWrapsAtTopOfMemory) {
  ram.m_data[0x10] = 0x3C;
  cpu.m_X = 0x20;
  Code({0xBD, 0xF0, 0xFF});  // LDA $FFF0,X
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_A, 0x3C);
  // Operand only: the data came from RAM at 0x0010.
  EXPECT_EQ(mapper.m_log, (std::vector<SAccess>{RB(0x8000, 0xBD), RW(0x8001, 0xFFF0)}));
}

TEST_F(CpuTest, PageCrossingsCostNothingExtra) {
  cpu.m_X = 0x20;
  cpu.m_Y = 0x20;
  Code({0xBD, 0xF0, 0x02});  // LDA $02F0,X: crosses into page 3
  EXPECT_EQ(Step(), 4);
  Code({0xBD, 0x00, 0x02});  // LDA $0200,X: stays in page 2
  EXPECT_EQ(Step(), 4);
  Code({0xB9, 0xF0, 0x02});  // LDA $02F0,Y
  EXPECT_EQ(Step(), 4);
  ram.m_data[0x40] = 0xF0;
  ram.m_data[0x41] = 0x02;
  Code({0xB1, 0x40});  // LDA ($40),Y
  EXPECT_EQ(Step(), 5);
  Code({0x91, 0x40});  // STA ($40),Y: 5, not the chip's 6
  EXPECT_EQ(Step(), 5);
  Code({0x9D, 0xF0, 0x02, 0x99, 0xF0, 0x02});  // STA abs,X; STA abs,Y: 4, not 5
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(Step(), 4);
  Code({0xA2, 0x01});  // LDX #: 4, not 2
  EXPECT_EQ(Step(), 4);
}

TEST_F(CpuTest, BranchesCostFourWhenTakenAndTwoWhenNot) {
  cpu.m_bZero = 0;
  Code({0xD0, 0x10});  // BNE +16, taken
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_PC, 0x8012);

  cpu.m_PC = 0x80F0;
  Code({0xD0, 0x20});  // taken across a page
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_PC, 0x8112);

  cpu.m_PC = 0x8100;
  Code({0xD0, 0x80});  // taken backwards by 128
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_PC, 0x8082);

  cpu.m_PC = 0x8000;
  Code({0xD0, 0xFE});  // branch to itself
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_PC, 0x8000);

  cpu.m_bZero = 1;
  EXPECT_EQ(Step(), 2);
  EXPECT_EQ(cpu.m_PC, 0x8002);
}

TEST_F(CpuTest, EachBranchTestsItsOwnFlag) {
  struct {
    BYTE opcode;
    BYTE CCpu::*flag;
    BYTE takenWhen;
  } const kBranches[] = {
      {0x10, &CCpu::m_bNegative, 0}, {0x30, &CCpu::m_bNegative, 1},
      {0x50, &CCpu::m_bOverflow, 0}, {0x70, &CCpu::m_bOverflow, 1},
      {0x90, &CCpu::m_bCarry, 0},    {0xB0, &CCpu::m_bCarry, 1},
      {0xD0, &CCpu::m_bZero, 0},     {0xF0, &CCpu::m_bZero, 1},
  };
  for (const auto& b : kBranches) {
    for (BYTE value : {0, 1}) {
      SCOPED_TRACE(testing::Message() << std::hex << "opcode " << +b.opcode << " flag " << +value);
      // Every other flag holds the opposite value, so only the right one decides.
      cpu.m_bNegative = cpu.m_bOverflow = cpu.m_bCarry = cpu.m_bZero = value ^ 1;
      cpu.*b.flag = value;
      cpu.m_PC = kStart;
      Code({b.opcode, 0x06});
      const bool bTaken = value == b.takenWhen;
      EXPECT_EQ(Step(), bTaken ? 4 : 2);
      EXPECT_EQ(cpu.m_PC, bTaken ? 0x8008 : 0x8002);
    }
  }
}

// ---------------------------------------------------------------------------
// Memory traffic as devices see it

TEST_F(CpuTest, OperandsInCartridgeAreFetchedOnceAndDataOnce) {
  cpu.m_A = 0x21;
  cpu.m_X = 0x02;
  Poke(0x6010, {0x40});
  Poke(0x6012, {0x7F});

  struct {
    std::vector<BYTE> code;
    std::vector<SAccess> log;
  } const kCases[] = {
      {{0xAD, 0x10, 0x60}, {RB(0x8000, 0xAD), RW(0x8001, 0x6010), RB(0x6010, 0x40)}},  // LDA
      {{0x8D, 0x10, 0x60}, {RB(0x8000, 0x8D), RW(0x8001, 0x6010), WB(0x6010, 0x40)}},  // STA
      {{0xFE, 0x10, 0x60}, {RB(0x8000, 0xFE), RW(0x8001, 0x6010), RB(0x6012, 0x7F),
                            WB(0x6012, 0x80)}},                                         // INC,X
      {{0x9D, 0x10, 0x60}, {RB(0x8000, 0x9D), RW(0x8001, 0x6010), WB(0x6012, 0x40)}},  // STA,X
      {{0xA9, 0x05}, {RB(0x8000, 0xA9), RB(0x8001, 0x05)}},                             // LDA #
      {{0xEA}, {RB(0x8000, 0xEA)}},                                                     // NOP
      {{0x0A}, {RB(0x8000, 0x0A)}},                                                     // ASL A
      {{0x48}, {RB(0x8000, 0x48)}},                                                     // PHA
      {{0xF0, 0x10}, {RB(0x8000, 0xF0)}},                   // BEQ, not taken
      {{0xD0, 0x10}, {RB(0x8000, 0xD0), RB(0x8001, 0x10)}},  // BNE, taken
      {{0x4C, 0x00, 0x90}, {RB(0x8000, 0x4C), RW(0x8001, 0x9000)}},  // JMP
      {{0x20, 0x00, 0x90}, {RB(0x8000, 0x20), RW(0x8001, 0x9000)}},  // JSR
  };
  for (const auto& t : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << "opcode " << +t.code[0]);
    cpu.m_PC = kStart;
    cpu.m_bZero = 0;
    for (std::size_t i = 0; i < t.code.size(); ++i) mapper.m_store[kStart + i] = t.code[i];
    mapper.m_log.clear();
    Step();
    EXPECT_EQ(mapper.m_log, t.log);
  }
}

TEST_F(CpuTest, IncOfPpuDataPortReadsOnceThenWritesOnce) {
  ppu.m_Control = 0x00;  // VRAM address steps by 1
  ppu.m_Status = 0x00;
  ppu.m_VramAddr = 0x0100;
  ppu.m_Vram[0x100] = 0x41;
  ppu.m_ReadBuffer = 0x30;
  Code({0xEE, 0x07, 0x20});  // INC $2007

  EXPECT_EQ(Step(), 6);

  // One read (the buffer; 0x100 -> 0x101), one write of 0x31 (at 0x101 -> 0x102).
  EXPECT_EQ(ppu.m_VramAddr, 0x0102);
  EXPECT_EQ(ppu.m_ReadBuffer, 0x41);
  EXPECT_EQ(ppu.m_Vram[0x100], 0x41);
  EXPECT_EQ(ppu.m_Vram[0x101], 0x31);
  EXPECT_EQ(ppu.m_Vram[0x102], 0x00);
}

TEST_F(CpuTest, LoadOfPpuStatusReadsItOncePerExecution) {
  ppu.m_Status = 0xC0;
  Code({0xAD, 0x02, 0x20});  // LDA $2002
  EXPECT_EQ(Step(), 4);
  EXPECT_EQ(cpu.m_A, 0xC0);  // an earlier extra read would have cleared bit 7
  EXPECT_EQ(cpu.m_bNegative, 1);
  EXPECT_EQ(ppu.m_Status, 0x40);

  cpu.m_PC = kStart;
  Step();
  EXPECT_EQ(cpu.m_A, 0x40);

  ppu.m_Status = 0x80;
  cpu.m_PC = kStart;
  Step();
  EXPECT_EQ(cpu.m_A, 0x80);
  EXPECT_EQ(ppu.m_Status, 0x00);
}

TEST_F(CpuTest, JumpOperandInRamIsOneWordRead) {
  Poke(0x0300, {0x4C, 0x34, 0x12});  // JMP $1234 in RAM
  cpu.m_PC = 0x0300;
  EXPECT_EQ(Step(), 3);
  EXPECT_EQ(cpu.m_PC, 0x1234);

  // The operand at 0x1FFF-0x2000 tells one word read of the RAM store from
  // two byte reads through the bus: a byte read of 0x2000 would return the
  // PPU control register, the word read continues in RAM.
  ppu.m_Control = 0x85;
  ram.m_data[0x000] = 0x92;
  Poke(0x1FFE, {0x4C, 0x34});  // JMP, low byte at 0x1FFF
  cpu.m_PC = 0x1FFE;
  Step();
  EXPECT_EQ(cpu.m_PC, 0x9234);

  Poke(0x1FFE, {0x20, 0x34});  // JSR, same operand
  cpu.m_PC = 0x1FFE;
  EXPECT_EQ(Step(), 6);
  EXPECT_EQ(cpu.m_PC, 0x9234);
  EXPECT_EQ(Stack(0x01FF), 0x20);
  EXPECT_EQ(Stack(0x01FE), 0x00);
  EXPECT_TRUE(mapper.m_log.empty());
}

TEST_F(CpuTest, BadOpcodesAreReportedAndChangeOnlyPc) {
  for (BYTE opcode : {0x02, 0x1A, 0x80, 0xAB, 0xFF}) {
    SCOPED_TRACE(testing::Message() << std::hex << "opcode " << +opcode);
    messages.Clear();
    mapper.m_log.clear();
    cpu.m_PC = kStart;
    cpu.m_A = 0x12;
    cpu.m_X = 0x34;
    cpu.m_Y = 0x56;
    cpu.m_bCarry = 1;
    Code({opcode, 0x10, 0x60});

    int nCycles = 50;
    EXPECT_FALSE(cpu.Execute(nCycles));

    EXPECT_EQ(nCycles, 50);
    EXPECT_EQ(cpu.m_PC, kStart + 1);
    EXPECT_EQ(messages.Messages(), Messages{"Bad Opcode Encountered..."});
    EXPECT_EQ(mapper.m_log, std::vector<SAccess>{RB(0x8000, opcode)});
    EXPECT_EQ(cpu.m_A, 0x12);
    EXPECT_EQ(cpu.m_X, 0x34);
    EXPECT_EQ(cpu.m_Y, 0x56);
    EXPECT_EQ(cpu.m_SP, 0x01FF);
    EXPECT_EQ(cpu.PackStatus(), 0x21);
  }
}

TEST_F(CpuTest, TracerSeesEachInstructionBeforeItRuns) {
  struct CRecordingTracer : ICpuTracer {
    void TraceInstruction(const CCpu& c, int nCycles) override {
      m_seen.emplace_back(c.m_PC, nCycles);
    }
    std::vector<std::pair<WORD, int>> m_seen;
  } tracer;
  Code({0xEA, 0xA2, 0x01, 0xEA});  // NOP; LDX #1; NOP

  cpu.SetTracer(&tracer);
  int nCycles = 0;
  cpu.Execute(nCycles);
  cpu.Execute(nCycles);
  cpu.SetTracer(nullptr);
  cpu.Execute(nCycles);

  EXPECT_EQ(tracer.m_seen, (std::vector<std::pair<WORD, int>>{{0x8000, 0}, {0x8001, 2}}));
  EXPECT_EQ(nCycles, 8);
}

// ---------------------------------------------------------------------------
// The whole opcode space

enum EMode { kImp, kImm, kZp, kZpX, kZpY, kAbs, kAbsX, kAbsY, kIndX, kIndY, kInd, kRel };

struct SOpcode {
  BYTE code;
  EMode mode;
  int cycles;  // branches: not taken
};

// The documented instruction set with this machine's cycle counts.
constexpr SOpcode kInstructionSet[] = {
    // ADC AND CMP EOR LDA ORA SBC
    {0x69, kImm, 2}, {0x65, kZp, 3}, {0x75, kZpX, 4}, {0x6D, kAbs, 4},
    {0x7D, kAbsX, 4}, {0x79, kAbsY, 4}, {0x61, kIndX, 6}, {0x71, kIndY, 5},
    {0x29, kImm, 2}, {0x25, kZp, 3}, {0x35, kZpX, 4}, {0x2D, kAbs, 4},
    {0x3D, kAbsX, 4}, {0x39, kAbsY, 4}, {0x21, kIndX, 6}, {0x31, kIndY, 5},
    {0xC9, kImm, 2}, {0xC5, kZp, 3}, {0xD5, kZpX, 4}, {0xCD, kAbs, 4},
    {0xDD, kAbsX, 4}, {0xD9, kAbsY, 4}, {0xC1, kIndX, 6}, {0xD1, kIndY, 5},
    {0x49, kImm, 2}, {0x45, kZp, 3}, {0x55, kZpX, 4}, {0x4D, kAbs, 4},
    {0x5D, kAbsX, 4}, {0x59, kAbsY, 4}, {0x41, kIndX, 6}, {0x51, kIndY, 5},
    {0xA9, kImm, 2}, {0xA5, kZp, 3}, {0xB5, kZpX, 4}, {0xAD, kAbs, 4},
    {0xBD, kAbsX, 4}, {0xB9, kAbsY, 4}, {0xA1, kIndX, 6}, {0xB1, kIndY, 5},
    {0x09, kImm, 2}, {0x05, kZp, 3}, {0x15, kZpX, 4}, {0x0D, kAbs, 4},
    {0x1D, kAbsX, 4}, {0x19, kAbsY, 4}, {0x01, kIndX, 6}, {0x11, kIndY, 5},
    {0xE9, kImm, 2}, {0xE5, kZp, 3}, {0xF5, kZpX, 4}, {0xED, kAbs, 4},
    {0xFD, kAbsX, 4}, {0xF9, kAbsY, 4}, {0xE1, kIndX, 6}, {0xF1, kIndY, 5},
    // ASL LSR ROL ROR, DEC INC
    {0x0A, kImp, 2}, {0x06, kZp, 5}, {0x16, kZpX, 6}, {0x0E, kAbs, 6}, {0x1E, kAbsX, 7},
    {0x4A, kImp, 2}, {0x46, kZp, 5}, {0x56, kZpX, 6}, {0x4E, kAbs, 6}, {0x5E, kAbsX, 7},
    {0x2A, kImp, 2}, {0x26, kZp, 5}, {0x36, kZpX, 6}, {0x2E, kAbs, 6}, {0x3E, kAbsX, 7},
    {0x6A, kImp, 2}, {0x66, kZp, 5}, {0x76, kZpX, 6}, {0x6E, kAbs, 6}, {0x7E, kAbsX, 7},
    {0xC6, kZp, 5}, {0xD6, kZpX, 6}, {0xCE, kAbs, 6}, {0xDE, kAbsX, 7},
    {0xE6, kZp, 5}, {0xF6, kZpX, 6}, {0xEE, kAbs, 6}, {0xFE, kAbsX, 7},
    // BIT CPX CPY
    {0x24, kZp, 3}, {0x2C, kAbs, 4},
    {0xE0, kImm, 2}, {0xE4, kZp, 3}, {0xEC, kAbs, 4},
    {0xC0, kImm, 2}, {0xC4, kZp, 3}, {0xCC, kAbs, 4},
    // JMP JSR
    {0x4C, kAbs, 3}, {0x6C, kInd, 5}, {0x20, kAbs, 6},
    // LDX LDY
    {0xA2, kImm, 4}, {0xA6, kZp, 3}, {0xB6, kZpY, 4}, {0xAE, kAbs, 4}, {0xBE, kAbsY, 4},
    {0xA0, kImm, 2}, {0xA4, kZp, 3}, {0xB4, kZpX, 4}, {0xAC, kAbs, 4}, {0xBC, kAbsX, 4},
    // STA STX STY
    {0x85, kZp, 3}, {0x95, kZpX, 4}, {0x8D, kAbs, 4}, {0x9D, kAbsX, 4},
    {0x99, kAbsY, 4}, {0x81, kIndX, 6}, {0x91, kIndY, 5},
    {0x86, kZp, 3}, {0x96, kZpY, 4}, {0x8E, kAbs, 4},
    {0x84, kZp, 3}, {0x94, kZpX, 4}, {0x8C, kAbs, 4},
    // implied
    {0x00, kImp, 7}, {0x18, kImp, 2}, {0xD8, kImp, 2}, {0x58, kImp, 2}, {0xB8, kImp, 2},
    {0xCA, kImp, 2}, {0x88, kImp, 2}, {0xE8, kImp, 2}, {0xC8, kImp, 2}, {0xEA, kImp, 2},
    {0x48, kImp, 3}, {0x08, kImp, 3}, {0x68, kImp, 4}, {0x28, kImp, 4}, {0x40, kImp, 6},
    {0x60, kImp, 6}, {0x38, kImp, 2}, {0xF8, kImp, 2}, {0x78, kImp, 2}, {0xAA, kImp, 2},
    {0xA8, kImp, 2}, {0xBA, kImp, 2}, {0x8A, kImp, 2}, {0x9A, kImp, 2}, {0x98, kImp, 2},
    // branches
    {0x10, kRel, 2}, {0x30, kRel, 2}, {0x50, kRel, 2}, {0x70, kRel, 2},
    {0x90, kRel, 2}, {0xB0, kRel, 2}, {0xD0, kRel, 2}, {0xF0, kRel, 2},
};

int Length(EMode mode) {
  switch (mode) {
    case kImp: return 1;
    case kAbs: case kAbsX: case kAbsY: case kInd: return 3;
    default: return 2;
  }
}

TEST(CpuInstructionSetTable, Has151DistinctOpcodes) {
  std::set<int> codes;
  for (const auto& op : kInstructionSet) codes.insert(op.code);
  EXPECT_EQ(std::size(kInstructionSet), 151u);
  EXPECT_EQ(codes.size(), 151u);
}

TEST_F(CpuTest, EveryOpcodeIsAcceptedWithItsCyclesOrRejected) {
  // Control transfers land somewhere their operands decide.
  const std::pair<BYTE, WORD> kTargets[] = {
      {0x00, 0x9100},  // BRK: vector
      {0x4C, 0x7010},  // JMP abs
      {0x6C, 0x9200},  // JMP (abs): word at 0x7010
      {0x20, 0x7010},  // JSR
      {0x60, 0x5625},  // RTS: popped 0x5624 + 1
      {0x40, 0x8456},  // RTI: status 0x24, then 0x8456
  };

  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(testing::Message() << std::hex << "opcode " << code);
    const SOpcode* pOp = nullptr;
    for (const auto& op : kInstructionSet)
      if (op.code == code) pOp = &op;

    ram = CRam();
    mapper.m_store.fill(0);
    Word(0xFFFC, kStart);
    Word(0xFFFE, 0x9100);
    Poke(kStart, {static_cast<BYTE>(code), 0x10, 0x70});
    Poke(0x0010, {0x20, 0x70});        // zero-page pointer -> 0x7020
    Word(0x7010, 0x9200);              // indirect JMP target
    Poke(0x01F1, {0x24, 0x56, 0x84});  // what RTS and RTI pop
    cpu.Reset();
    cpu.m_SP = 0x01F0;
    // All flags set: every branch whose condition is a clear flag falls through.
    cpu.m_P = 0xFF;
    cpu.UnpackStatus();
    if (code == 0x30 || code == 0x70 || code == 0xB0 || code == 0xF0) {
      cpu.m_P = 0x00;
      cpu.UnpackStatus();
    }
    mapper.m_log.clear();
    messages.Clear();

    int nCycles = 1000;
    const bool bAccepted = cpu.Execute(nCycles);

    if (!pOp) {
      EXPECT_FALSE(bAccepted);
      EXPECT_EQ(nCycles, 1000);
      EXPECT_EQ(cpu.m_PC, kStart + 1);
      EXPECT_EQ(messages.Messages(), Messages{"Bad Opcode Encountered..."});
      continue;
    }

    EXPECT_TRUE(bAccepted);
    EXPECT_EQ(nCycles - 1000, pOp->cycles);
    WORD expectedPc = static_cast<WORD>(kStart + Length(pOp->mode));
    for (const auto& [target, pc] : kTargets)
      if (target == code) expectedPc = pc;
    EXPECT_EQ(cpu.m_PC, expectedPc);
    EXPECT_EQ(messages.Messages(), code == 0xF8 ? Messages{"SED!"} : Messages{});

    // Operand traffic: nothing for one-byte instructions and untaken branches,
    // one byte read for two-byte ones, one word read for three-byte ones.
    std::vector<SAccess> operandTraffic;
    for (const auto& a : mapper.m_log)
      if (a.addr == kStart + 1 || a.addr == kStart + 2) operandTraffic.push_back(a);
    std::vector<SAccess> expected;
    if (pOp->mode != kRel && Length(pOp->mode) == 2) expected = {RB(kStart + 1, 0x10)};
    if (Length(pOp->mode) == 3) expected = {RW(kStart + 1, 0x7010)};
    EXPECT_EQ(operandTraffic, expected);
    ASSERT_FALSE(mapper.m_log.empty());
    EXPECT_EQ(mapper.m_log.front(), RB(kStart, static_cast<BYTE>(code)));
  }
}

}  // namespace
