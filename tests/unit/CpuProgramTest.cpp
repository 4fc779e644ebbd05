// 6502 test programs (tests/roms) run in the whole console. They report
// through cartridge RAM: $6000 = 0 when every check passed, otherwise the
// number of the failing check, with a text at $6004 saying which.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Nes.h"
#include "cpu/Cpu.h"
#include "platform/KeyboardDevice.h"
#include "support/RomRunner.h"

namespace {

// Default keys: Z is A, Return is Start; Left is the arrow key.
SRomRunOptions ConsoleOptions(bool bPressKeys) {
  SRomRunOptions options;
  options.nMaxFrames = 120;
  for (int code : {dik::kZ, dik::kReturn, dik::kLeft}) {
    if (!bPressKeys) break;
    options.keys.push_back({2, code, true});
    options.keys.push_back({5, code, false});
  }
  return options;
}

TEST(CpuProgramTest, PortNmiAndWarningsPassThenABadOpcodeStopsTheConsole) {
  CRomRunner runner;
  ASSERT_TRUE(runner.Load("cpu_console.nes"));
  const SRomRunResult result = runner.Run(ConsoleOptions(true));
  // Every check passed and nothing after the bad opcode ran.
  EXPECT_TRUE(result.bSignature);
  EXPECT_EQ(result.status, 0x80) << result.Describe();
  EXPECT_EQ(result.strText, "before the bad opcode");
  EXPECT_TRUE(result.bBadOpcode);
  EXPECT_EQ(runner.Nes().State(), "Stopped");
  EXPECT_EQ(result.messages,
            (std::vector<std::string>{"SED!", "JMP ($xxFF)", "Bad Opcode Encountered..."}));
  const WORD badAddr = static_cast<WORD>(runner.Peek(0x6100) | runner.Peek(0x6101) << 8);
  EXPECT_EQ(runner.Nes().Cpu()->m_PC, badAddr + 1);
  EXPECT_GE(result.nFrames, 10);  // the NMI part alone takes four frames
}

TEST(CpuProgramTest, ControllerPortSeesNoKeysWhenNonePressed) {
  // Without key presses the program must fail at the first check that expects
  // a key down, not earlier.
  const SRomRunResult result = RunTestRom("cpu_console.nes", ConsoleOptions(false));
  ASSERT_TRUE(result.bSignature) << result.Describe();
  EXPECT_NE(result.status, 0x80) << result.Describe();
  EXPECT_NE(result.strText.find("$4016 reads, A Start Left down"), std::string::npos)
      << result.Describe();
}

TEST(CpuProgramTest, DataPortAndStrobeAnswerAsCartridgesExpect) {
  SRomRunOptions options;
  options.keys.push_back({0, dik::kZ, true});
  const SRomRunResult result = RunTestRom("port_reads.nes", options);
  EXPECT_TRUE(result.Passed()) << result.Describe();
  EXPECT_FALSE(result.bBadOpcode) << result.Describe();
}

}  // namespace
