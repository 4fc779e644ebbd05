// The 6502 test program cpu_console (tests/roms) run in the whole console. It
// reports through cartridge RAM: $6000 = 0 when every check passed ($80 while
// running, else the failed check), the signature DE B0 61 at $6001, and a
// text from $6004; a failed check leaves offset, want and got at $0780 (see
// them with tolvar-run --dump 0780:3).
#include <gtest/gtest.h>

#include "core/Memory.h"
#include "platform/KeyboardDevice.h"
#include "support/NesRig.h"

namespace {
// The report as "status: text", the status in decimal (128 while running);
// empty until the signature is there.
std::string Report(CMemory& bus) {
  if (bus.PeekByte(0x6001) != 0xDE || bus.PeekByte(0x6002) != 0xB0 || bus.PeekByte(0x6003) != 0x61)
    return "";
  std::string text = std::to_string(bus.PeekByte(0x6000)) + ": ";
  for (WORD a = 0x6004; a < 0x6104 && bus.PeekByte(a); ++a)
    text += static_cast<char>(bus.PeekByte(a));
  return text;
}
}  // namespace

TEST(CpuProgramTest, PortsNmiAndWarningsPassThenABadOpcodeStopsTheConsole) {
  SNesRig rig;
  ASSERT_TRUE(rig.rom.Load(std::string(TOLVAR_ROM_DIR) + "/cpu_console.nes") &&
              rig.nes->LoadRom(&rig.rom));
  // Z (A), Return (Start) and Left go down at the end of frame 2 and up at
  // the end of frame 5. The run stops once the program reports, or after 120
  // frames.
  rig.pump.m_onPump = [&](int n) {
    for (int code : {dik::kZ, dik::kReturn, dik::kLeft})
      if (n == 2 || n == 5) rig.keyboard.SetKey(code, n == 2 ? 0x80 : 0);
    const std::string report = Report(*rig.nes->Memory());
    if (n >= 120 || (!report.empty() && report.rfind("128: ", 0) != 0)) rig.nes->Stop();
  };
  rig.nes->Run();
  // Every check passed and nothing after the bad opcode ran.
  EXPECT_EQ(Report(*rig.nes->Memory()), "128: before the bad opcode");
  EXPECT_TRUE(rig.nes->StoppedOnBadOpcode());
  EXPECT_EQ(rig.nes->State(), "Stopped");
  EXPECT_EQ(rig.messages.Messages(),
            (std::vector<std::string>{"SED!", "JMP ($xxFF)", "Bad Opcode Encountered..."}));
}
