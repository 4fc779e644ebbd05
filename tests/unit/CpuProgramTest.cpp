// The 6502 test program cpu_console (tests/roms) run in the whole console. It
// reports through cartridge RAM: $6000 = 0 when every check passed ($80 while
// running, else the failed check), the signature DE B0 61 at $6001, and a
// text from $6004; a failed check leaves offset, want and got at $0780.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

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

// Runs the program; with bKeys, Z (A), Return (Start) and Left go down at the
// end of frame 2 and up at the end of frame 5. Stops once it reports, or
// after 120 frames.
SReport RunProgram(SNesRig& rig, bool bKeys) {
  std::ifstream file(std::string(TOLVAR_ROM_DIR) + "/cpu_console.nes", std::ios::binary);
  EXPECT_TRUE(rig.Load({std::istreambuf_iterator<char>(file), {}}));
  CMemory& bus = *rig.nes->Memory();
  auto report = [&] {
    SReport r{bus.PeekByte(0x6001) == 0xDE && bus.PeekByte(0x6002) == 0xB0 &&
                  bus.PeekByte(0x6003) == 0x61,
              bus.PeekByte(0x6000), ""};
    for (WORD a = 0x6004; a < 0x6104 && bus.PeekByte(a); ++a)
      r.strText += static_cast<char>(bus.PeekByte(a));
    char vals[48];
    std::snprintf(vals, sizeof(vals), " (at, want, got: %02X %02X %02X)", bus.PeekByte(0x780),
                  bus.PeekByte(0x781), bus.PeekByte(0x782));
    if (r.status != 0 && r.status != 0x80) r.strText += vals;
    return r;
  };
  rig.pump.m_onPump = [&](int n) {
    for (int code : {dik::kZ, dik::kReturn, dik::kLeft})
      if (bKeys && n == 2) rig.keyboard.Press(code);
      else if (bKeys && n == 5) rig.keyboard.Release(code);
    const SReport r = report();
    if (n >= 120 || (r.bSignature && r.status != 0x80)) rig.nes->Stop();
  };
  rig.nes->Run();
  return report();
}
}  // namespace

TEST(CpuProgramTest, PortsNmiAndWarningsPassThenABadOpcodeStopsTheConsole) {
  SNesRig rig;
  const SReport r = RunProgram(rig, true);
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

TEST(CpuProgramTest, WithoutKeysTheProgramFailsAtTheFirstKeyCheck) {
  SNesRig rig;
  const SReport r = RunProgram(rig, false);
  ASSERT_TRUE(r.bSignature);
  EXPECT_NE(r.status, 0x80);
  EXPECT_NE(r.strText.find("$4016 reads, A Start Left down"), std::string::npos) << r.strText;
}
