// 6502 test programs (tests/roms/cpu_*.s) run in the whole console. Each one
// reports through cartridge RAM: $6000 = 0 when every check passed, otherwise
// the number of the failing check, with a text at $6004 saying which.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Nes.h"
#include "cpu/Cpu.h"
#include "platform/KeyboardDevice.h"
#include "support/RomRunner.h"

namespace {

long CountOf(const std::vector<std::string>& messages, const std::string& text) {
  return std::count(messages.begin(), messages.end(), text);
}

void ExpectPassed(const SRomRunResult& result) {
  EXPECT_TRUE(result.Passed()) << result.Describe();
  EXPECT_FALSE(result.bBadOpcode) << result.Describe();
}

TEST(CpuProgramTest, LoadsStoresAndTransfers) {
  const SRomRunResult result = RunTestRom("cpu_load_store.nes");
  ExpectPassed(result);
  EXPECT_TRUE(result.messages.empty());
}

TEST(CpuProgramTest, AddSubtractAndCompare) {
  const SRomRunResult result = RunTestRom("cpu_arith.nes");
  ExpectPassed(result);
  // The program executes SED twice; each shows the warning, nothing else does.
  EXPECT_EQ(CountOf(result.messages, "SED!"), 2);
  EXPECT_EQ(result.messages.size(), 2u);
}

TEST(CpuProgramTest, LogicShiftsAndIncrements) {
  ExpectPassed(RunTestRom("cpu_logic.nes"));
}

TEST(CpuProgramTest, BranchesJumpsAndCalls) {
  const SRomRunResult result = RunTestRom("cpu_branch_jump.nes");
  ExpectPassed(result);
  // Three indirect jumps through pointers ending in $FF, one plain one.
  EXPECT_EQ(CountOf(result.messages, "JMP ($xxFF)"), 3);
  EXPECT_EQ(result.messages.size(), 3u);
}

TEST(CpuProgramTest, StackBrkAndRti) {
  ExpectPassed(RunTestRom("cpu_stack.nes"));
}

TEST(CpuProgramTest, VBlankFlagAndNmi) {
  SRomRunOptions options;
  options.nMaxFrames = 120;
  const SRomRunResult result = RunTestRom("cpu_nmi.nes", options);
  ExpectPassed(result);
  // Two frames with NMI off, four with it on, two off again.
  EXPECT_GE(result.nFrames, 8);
}

TEST(CpuProgramTest, ControllerPort) {
  // Default keys: Z is A, Return is Start; Left is the arrow key.
  SRomRunOptions options;
  options.nMaxFrames = 120;
  for (int code : {dik::kZ, dik::kReturn, dik::kLeft}) {
    options.keys.push_back({2, code, true});
    options.keys.push_back({5, code, false});
  }
  const SRomRunResult result = RunTestRom("cpu_controller.nes", options);
  ExpectPassed(result);
}

TEST(CpuProgramTest, ControllerPortSeesNoKeysWhenNonePressed) {
  // The same program without key presses must fail at the first check that
  // expects a key down, not earlier: the released phase passes.
  SRomRunOptions options;
  options.nMaxFrames = 120;
  const SRomRunResult result = RunTestRom("cpu_controller.nes", options);
  ASSERT_TRUE(result.bSignature) << result.Describe();
  EXPECT_NE(result.status, 0) << result.Describe();
  EXPECT_NE(result.status, 0x80) << result.Describe();
  EXPECT_NE(result.strText.find("A Start Left down"), std::string::npos) << result.Describe();
}

TEST(CpuProgramTest, DataPortAndStrobeAnswerAsCartridgesExpect) {
  SRomRunOptions options;
  options.keys.push_back({0, dik::kZ, true});
  ExpectPassed(RunTestRom("port_reads.nes", options));
}

TEST(CpuProgramTest, BadOpcodeStopsEmulation) {
  CRomRunner runner;
  ASSERT_TRUE(runner.Load("cpu_bad_opcode.nes"));
  SRomRunOptions options;
  options.nMaxFrames = 10;
  const SRomRunResult result = runner.Run(options);

  EXPECT_TRUE(result.bBadOpcode);
  EXPECT_TRUE(runner.Nes().StoppedOnBadOpcode());
  EXPECT_EQ(runner.Nes().State(), "Stopped");
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0], "Bad Opcode Encountered...");
  // Stopped within the first frame, on the opcode: nothing after it ran.
  EXPECT_EQ(result.nFrames, 0);
  EXPECT_EQ(result.status, 0x80) << result.Describe();
  EXPECT_EQ(result.strText, "before the bad opcode");
  const WORD badAddr = static_cast<WORD>(runner.Peek(0x6100) | runner.Peek(0x6101) << 8);
  EXPECT_EQ(runner.Nes().Cpu()->m_PC, static_cast<WORD>(badAddr + 1));
}

}  // namespace
