// The console loop on test doubles. The NMI, the vblank flag and the stop on
// a bad opcode are also checked by the 6502 program in CpuProgramTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <typeinfo>

#include "core/Memory.h"
#include "cpu/Cpu.h"
#include "platform/SettingsTable.h"
#include "ppu/Ppu.h"
#include "support/NesRig.h"
#include "video/NullEngine.h"

namespace {
// LDA #$80; STA $2000 (NMI on); loop: JMP loop. NMI at 0x9000: INC $10; RTI.
std::vector<BYTE> NmiProgram() {
  return MakeProgram({0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0x80}, 0x9000, 0x8000, 0x8000, 0,
                     {{0x9000, {0xE6, 0x10, 0x40}}});
}
// JMP to itself, on the given mapper.
std::vector<BYTE> Idle(int mapper = 0) {
  return MakeProgram({0x4C, 0x00, 0x80}, 0x8000, 0x8000, 0x8000, mapper);
}

int Count(const std::vector<std::string>& calls, const std::string& call) {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}
}  // namespace

// The NMI's timing against the pump and the vertical blank at the pump are in
// every frame-state hash.
TEST(NesLoop, FramesDrawLinesPollKeysAndPump) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Idle()));
  const int nReadsBefore = rig.keyboard.m_nStateReads;
  rig.RunFrames(5);
  std::vector<std::vector<int>> frames(1);
  for (const auto& call : rig.Engine().m_calls) {
    if (call == "EndFrame()") frames.emplace_back();
    if (call.rfind("DrawScanline(", 0) == 0) frames.back().push_back(std::stoi(call.substr(13)));
  }
  ASSERT_EQ(frames.size(), 6u);
  std::vector<int> lines(240);
  std::iota(lines.begin(), lines.end(), 0);
  EXPECT_EQ(frames[0], lines) << "the first frame draws line 0";
  lines.erase(lines.begin());
  EXPECT_EQ(frames[4], lines) << "later ones start at line 1";
  EXPECT_EQ(rig.Engine().m_calls.back(), "Shutdown()");
  EXPECT_EQ(rig.pump.m_nPumps, 5);
  EXPECT_EQ(rig.keyboard.m_nStateReads - nReadsBefore, 5);
}

TEST(NesLoop, EscapeStopsFTogglesFullScreenAndStoppedKeepsItsEngine) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Idle()));
  rig.keyboard.Press(0x21);
  rig.RunFrames(3);
  EXPECT_EQ(Count(rig.Engine().m_calls, "ToggleFullScreen()"), 3) << "every frame F is down";
  rig.keyboard.Press(0x01);
  // Should Escape not stop the loop, the test fails rather than hangs.
  rig.pump.m_onPump = [&](int n) {
    if (n > 10) rig.nes->Stop();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Stop");
  EXPECT_EQ(rig.pump.m_nPumps, 4);
  rig.settings.WriteString("Settings", "GraphicEngine", "DirectX");
  rig.nes->ChangeEngine();  // "Stop" is not "Stopped"
  ASSERT_EQ(rig.engines.size(), 2u);
  EXPECT_EQ(rig.engineNames.back(), "DirectX");
  EXPECT_EQ(rig.nes->Ppu()->m_pEngine, rig.engines.back());
  EXPECT_EQ(rig.Engine().m_nPatternUpdates, 0x2000) << "the new engine is reset at once";
  rig.nes->Stop();
  rig.nes->ChangeEngine();
  EXPECT_EQ(rig.engines.size(), 2u) << "a stopped machine keeps its engine until the next load";
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
  EXPECT_EQ(Count(rig.Engine().m_calls, "Init()"), 2);
  EXPECT_EQ(Count(rig.Engine().m_calls, "Shutdown()"), 2);
  rig.pump.m_onPump = nullptr;
  rig.RunFrames(56);  // frame 59
  EXPECT_TRUE(rig.status.m_texts.empty()) << "the frame counter runs even with the text off";
  rig.nes->m_bShowFps = 1;
  rig.RunFrames(61);  // frames 60 and 120
  ASSERT_EQ(rig.status.m_texts.size(), 2u);
  EXPECT_EQ(rig.status.m_texts[0].nPane, 1);
  EXPECT_EQ(rig.status.m_texts[1].strText, "FPS:62.5 (104.2%)");
}

TEST(NesLoad, RefusedMappersFromOutsideOrInsideTheLoop) {
  for (int mapper : {0, 1, 2, 3, 4, 64, 67}) {
    SNesRig rig;
    EXPECT_TRUE(rig.Load(Idle(mapper))) << mapper;
  }
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

TEST(NesLoad, EngineChoiceIsExactAndEveryEngineStartsWithTheStoredDebugView) {
  CMemorySettingsStore settings;
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", "directx");
  CKeyStateKeyboard keyboard;
  CNes nes(SPlatform{.pSettings = &settings, .pKeyboard = &keyboard});
  CRom rom;
  ASSERT_TRUE(rom.LoadFromBytes("t.nes", Idle()));
  ASSERT_TRUE(nes.LoadRom(&rom));
  EXPECT_EQ(typeid(*nes.Engine()), typeid(CNullEngine));

  SNesRig rig;
  rig.settings.WriteInt("Settings", "DebugPpu", 1);
  ASSERT_TRUE(rig.Load(NmiProgram()));
  EXPECT_TRUE(rig.Engine().IsDebugView());
  rig.settings.WriteInt("Settings", "DebugPpu", 0);
  rig.pump.m_onPump = [&](int n) {
    if (n == 2) rig.nes->ChangeEngine();
    if (n == 4) rig.nes->Stop();
  };
  rig.nes->Run();
  EXPECT_FALSE(rig.Engine().IsDebugView());
  const BYTE nmis = rig.nes->Memory()->PeekByte(0x10);
  rig.nes->Reset();
  EXPECT_EQ(rig.nes->Cpu()->m_PC, 0x8000);
  EXPECT_EQ(rig.nes->Ppu()->m_Control, 0);
  EXPECT_EQ(rig.nes->State(), "Stopped");
  EXPECT_GT(nmis, 0);
  EXPECT_EQ(rig.nes->Memory()->PeekByte(0x10), nmis) << "work RAM survives a reset";
}
