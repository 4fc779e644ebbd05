// The console loop on test doubles. The NMI, the vblank flag and the stop on
// a bad opcode are also checked by the 6502 program in CpuProgramTest.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/NesRig.h"

namespace {
// JMP to itself, on the given mapper.
std::vector<BYTE> Idle(int mapper = 0) { return MakeProgram({0x4C, 0x00, 0x80}, mapper); }
}  // namespace

// Which lines each frame draws, the NMI's timing against the pump and the
// vertical blank at the pump are in every frame-state hash.
TEST(NesLoop, FramesPollKeysOnceFTogglesFullScreenAndEscapeStops) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Idle()));
  const int nReadsBefore = rig.keyboard.m_nStateReads;
  rig.keyboard.Press(0x21);
  rig.RunFrames(3);
  EXPECT_EQ(rig.keyboard.m_nStateReads - nReadsBefore, 3);
  EXPECT_EQ(std::ranges::count(rig.Engine().m_calls, "ToggleFullScreen()"), 3)
      << "every frame F is down";
  rig.keyboard.Press(0x01);
  // Should Escape not stop the loop, the test fails rather than hangs.
  rig.pump.m_onPump = [&](int n) {
    if (n > 10) rig.nes->Stop();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Stop");
  EXPECT_EQ(rig.pump.m_nPumps, 4);
}

TEST(NesLoop, PauseStartNestingAndFrameRateText) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Idle()));
  rig.ticks.m_dwStepPerRead = 16;
  rig.pump.m_onPump = [&](int n) {
    if (n == 1) rig.nes->Run();  // Start while running: a nested loop
    if (n == 3) rig.nes->Pause();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Paused");
  EXPECT_EQ(rig.pump.m_nPumps, 3);
  EXPECT_EQ(std::ranges::count(rig.Engine().m_calls, "Shutdown()"), 2);
  rig.pump.m_onPump = nullptr;
  rig.nes->m_bShowFps = 1;
  rig.RunFrames(57);  // frame 60
  ASSERT_EQ(rig.status.m_texts.size(), 1u);
  EXPECT_EQ(rig.status.m_texts[0].strText, "FPS:62.5 (104.2%)");
}

TEST(NesLoad, RefusedMappersFromOutsideOrInsideTheLoop) {
  SNesRig rig;
  EXPECT_FALSE(rig.Load(Idle(5)));
  EXPECT_EQ(rig.messages.Messages(),
            std::vector<std::string>{
                "This mapper is currently unsupported.\nYou won't be able to play this game."});
  rig.nes->Run();  // nothing to run, nothing freed twice
  rig.nes->Reset();
  EXPECT_EQ(rig.nes->State(), "Stopped");
  ASSERT_TRUE(rig.Load(Idle()));
  rig.pump.m_onPump = [&](int n) {
    if (n == 2) {
      EXPECT_FALSE(rig.Load(Idle(5)));
    }
    if (n == 5) rig.nes->Stop();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Stopped");
  EXPECT_EQ(rig.pump.m_nPumps, 2) << "the loop ran on without a cartridge";
}
