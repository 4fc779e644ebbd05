// 6502 test programs (tests/roms) run in the whole console. They report
// through cartridge RAM: $6000 = 0 when every check passed ($80 while
// running), the signature DE B0 61 at $6001, and a text from $6004.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "core/Memory.h"
#include "cpu/Cpu.h"
#include "platform/KeyboardDevice.h"
#include "support/NesRig.h"

namespace {
struct SReport {
  bool bSignature = false;
  BYTE status = 0;
  std::string strText;
};

// Runs a program with keys going down (true) or up at the end of the given
// frames (0: before it starts), until it reports or nMaxFrames have passed.
SReport RunProgram(SNesRig& rig, const char* pszName,
                   std::vector<std::tuple<int, int, bool>> keys) {
  std::ifstream file(std::string(TOLVAR_ROM_DIR) + "/" + pszName, std::ios::binary);
  EXPECT_TRUE(rig.Load({std::istreambuf_iterator<char>(file), {}})) << pszName;
  CMemory& bus = *rig.nes->Memory();
  auto report = [&] {
    SReport r{bus.PeekByte(0x6001) == 0xDE && bus.PeekByte(0x6002) == 0xB0 &&
                  bus.PeekByte(0x6003) == 0x61,
              bus.PeekByte(0x6000), ""};
    for (WORD a = 0x6004; a < 0x6104 && bus.PeekByte(a); ++a)
      r.strText += static_cast<char>(bus.PeekByte(a));
    return r;
  };
  auto press = [&](int n) {
    for (const auto& [nFrame, nCode, bDown] : keys)
      if (nFrame == n) bDown ? rig.keyboard.Press(nCode) : rig.keyboard.Release(nCode);
  };
  press(0);
  rig.pump.m_onPump = [&](int n) {
    press(n);
    const SReport r = report();
    if (n >= 120 || (r.bSignature && r.status != 0x80)) rig.nes->Stop();
  };
  rig.nes->Run();
  return report();
}

// Default keys: Z is A, Return is Start; Left is the arrow key.
std::vector<std::tuple<int, int, bool>> ConsoleKeys() {
  std::vector<std::tuple<int, int, bool>> keys;
  for (int code : {dik::kZ, dik::kReturn, dik::kLeft}) {
    keys.emplace_back(2, code, true);
    keys.emplace_back(5, code, false);
  }
  return keys;
}
}  // namespace

TEST(CpuProgramTest, PortNmiAndWarningsPassThenABadOpcodeStopsTheConsole) {
  SNesRig rig;
  const SReport r = RunProgram(rig, "cpu_console.nes", ConsoleKeys());
  // Every check passed and nothing after the bad opcode ran.
  EXPECT_TRUE(r.bSignature);
  EXPECT_EQ(r.status, 0x80) << r.strText;
  EXPECT_EQ(r.strText, "before the bad opcode");
  EXPECT_TRUE(rig.nes->StoppedOnBadOpcode());
  EXPECT_EQ(rig.nes->State(), "Stopped");
  EXPECT_EQ(rig.messages.Messages(),
            (std::vector<std::string>{"SED!", "JMP ($xxFF)", "Bad Opcode Encountered..."}));
  const CMemory& bus = *rig.nes->Memory();
  EXPECT_EQ(rig.nes->Cpu()->m_PC, (bus.PeekByte(0x6100) | bus.PeekByte(0x6101) << 8) + 1);
  EXPECT_GE(rig.pump.m_nPumps, 10);  // the NMI part alone takes four frames
}

TEST(CpuProgramTest, WithoutKeysTheConsoleProgramFailsAtTheFirstKeyCheck) {
  SNesRig rig;
  const SReport r = RunProgram(rig, "cpu_console.nes", {});
  ASSERT_TRUE(r.bSignature);
  EXPECT_NE(r.status, 0x80);
  EXPECT_NE(r.strText.find("$4016 reads, A Start Left down"), std::string::npos) << r.strText;
}

TEST(CpuProgramTest, DataPortAndStrobeAnswerAsCartridgesExpect) {
  SNesRig rig;
  const SReport r = RunProgram(rig, "port_reads.nes", {{0, dik::kZ, true}});
  EXPECT_TRUE(r.bSignature && r.status == 0) << r.strText;
  EXPECT_FALSE(rig.nes->StoppedOnBadOpcode());
}
