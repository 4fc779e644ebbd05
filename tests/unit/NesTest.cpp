#include <gtest/gtest.h>

#include <algorithm>
#include <typeinfo>

#include "core/Memory.h"
#include "cpu/Cpu.h"
#include "platform/SettingsTable.h"
#include "ppu/Ppu.h"
#include "support/NesRig.h"
#include "video/NullEngine.h"

namespace {
// LDA #$80; STA $2000 (NMI on); loop: JMP loop. NMI at 0x9000: INC $10; RTI.
const std::vector<BYTE> kNmiProgram = {0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0x80};
const std::vector<BYTE> kNmiHandler = {0xE6, 0x10, 0x40};
const std::vector<BYTE> kIdleProgram = {0x4C, 0x00, 0x80};

int Count(const std::vector<std::string>& calls, const std::string& call) {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}
}  // namespace

TEST(NesLoop, FramesDrawLinesRaiseNmisPollKeysAndPump) {
  SNesRig rig;
  ASSERT_TRUE(
      rig.Load(MakeProgram(kNmiProgram, 0x9000, 0x8000, 0x8000, 0, {{0x9000, kNmiHandler}})));
  const int nReadsBefore = rig.keyboard.m_nStateReads;
  rig.RunFrames(5);
  const auto& calls = rig.Engine().m_calls;
  std::vector<std::vector<int>> frames(1);
  for (const auto& call : calls) {
    if (call == "EndFrame()") frames.emplace_back();
    if (call.rfind("DrawScanline(", 0) == 0) frames.back().push_back(std::stoi(call.substr(13)));
  }
  ASSERT_EQ(frames.size(), 6u);
  EXPECT_EQ(frames[0].size(), 240u) << "the first frame draws line 0";
  EXPECT_EQ(frames[0].front(), 0);
  EXPECT_EQ(frames[1].size(), 239u) << "later ones start at line 1";
  EXPECT_EQ(frames[1].front(), 1);
  EXPECT_EQ(frames[1].back(), 239);
  EXPECT_EQ(calls.front(), "Init()");
  EXPECT_EQ(calls.back(), "Shutdown()");
  // The fifth NMI is raised, but the loop stops at that frame's pump first.
  EXPECT_EQ(rig.nes->Memory()->PeekByte(0x10), 4);
  EXPECT_EQ(rig.pump.m_nPumps, 5);
  EXPECT_EQ(rig.keyboard.m_nStateReads - nReadsBefore, 5);
  EXPECT_NE(rig.nes->Ppu()->m_Status & 0x80, 0) << "stopped inside vertical blank";

  SNesRig idle;  // NMI off: no handler runs, the rest still happens
  ASSERT_TRUE(
      idle.Load(MakeProgram(kIdleProgram, 0x9000, 0x8000, 0x8000, 0, {{0x9000, kNmiHandler}})));
  idle.RunFrames(3);
  EXPECT_EQ(idle.nes->Memory()->PeekByte(0x10), 0);
  EXPECT_EQ(Count(idle.Engine().m_calls, "EndFrame()"), 3);
}

TEST(NesLoop, EscapeStopsFTogglesFullScreenAndStoppedKeepsItsEngine) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(MakeProgram(kIdleProgram)));
  rig.keyboard.Press(0x21);
  rig.RunFrames(3);
  EXPECT_EQ(Count(rig.Engine().m_calls, "ToggleFullScreen()"), 3) << "every frame F is down";
  rig.keyboard.Press(0x01);
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Stop");
  EXPECT_EQ(rig.pump.m_nPumps, 4);
  rig.settings.WriteString("Settings", "GraphicEngine", "DirectX");
  rig.nes->ChangeEngine();  // "Stop" is not "Stopped"
  ASSERT_EQ(rig.engines.size(), 2u);
  EXPECT_EQ(rig.engineNames.back(), "DirectX");
  EXPECT_EQ(rig.nes->Ppu()->m_pEngine, rig.engines.back());
  EXPECT_EQ(rig.Engine().m_calls.front(), "Init()") << "the new engine is reset at once";
  EXPECT_EQ(rig.Engine().m_nPatternUpdates, 0x2000);
  rig.nes->Stop();
  rig.nes->ChangeEngine();
  EXPECT_EQ(rig.engines.size(), 2u) << "a stopped machine keeps its engine until the next load";
}

TEST(NesLoop, PauseStartNestingAndBadOpcode) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(MakeProgram(kIdleProgram)));
  rig.pump.m_onPump = [&](int n) {
    if (n == 1) rig.nes->Run();  // Start while running: a nested loop
    if (n == 3) rig.nes->Pause();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Paused");
  EXPECT_EQ(rig.pump.m_nPumps, 3);
  EXPECT_EQ(Count(rig.Engine().m_calls, "Init()"), 2);
  EXPECT_EQ(Count(rig.Engine().m_calls, "Shutdown()"), 2);

  SNesRig bad;
  ASSERT_TRUE(bad.Load(MakeProgram({0xEA, 0x02})));
  bad.nes->Run();
  EXPECT_EQ(bad.nes->State(), "Stopped");
  EXPECT_TRUE(bad.nes->StoppedOnBadOpcode());
  EXPECT_EQ(bad.messages.Messages(), std::vector<std::string>{"Bad Opcode Encountered..."});
  EXPECT_EQ(bad.nes->Cpu()->m_PC, 0x8002);
}

TEST(NesLoop, FrameRateTextEverySixtyFrames) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(MakeProgram(kIdleProgram)));
  rig.ticks.m_dwStepPerRead = 16;
  rig.RunFrames(59);
  EXPECT_TRUE(rig.status.m_texts.empty()) << "the frame counter runs even with the text off";
  rig.nes->m_bShowFps = 1;
  rig.RunFrames(61);  // frames 60 and 120; Run keeps the count
  ASSERT_EQ(rig.status.m_texts.size(), 2u);
  EXPECT_EQ(rig.status.m_texts[0].nPane, 1);
  EXPECT_EQ(rig.status.m_texts[1].strText, "FPS:62.5 (104.2%)");
  EXPECT_EQ(rig.nes->m_nFrameCount, 120u);
}

TEST(NesLoad, RefusedMappersFromOutsideOrInsideTheLoop) {
  for (int mapper : {0, 1, 2, 3, 4, 64, 67}) {
    SNesRig rig;
    EXPECT_TRUE(rig.Load(MakeProgram(kIdleProgram, 0x8000, 0x8000, 0x8000, mapper))) << mapper;
  }
  SNesRig rig;
  EXPECT_FALSE(rig.Load(MakeProgram(kIdleProgram, 0x8000, 0x8000, 0x8000, 5)));
  EXPECT_EQ(rig.messages.Messages(),
            std::vector<std::string>{
                "This mapper is currently unsupported.\nYou won't be able to play this game."});
  rig.nes->Run();  // nothing to run, nothing freed twice
  rig.nes->Reset();
  EXPECT_EQ(rig.nes->State(), "Stopped");
  ASSERT_TRUE(rig.Load(MakeProgram(kIdleProgram)));
  rig.pump.m_onPump = [&](int n) {
    if (n == 2) {
      EXPECT_FALSE(rig.Load(MakeProgram(kIdleProgram, 0x8000, 0x8000, 0x8000, 5)));
    }
    if (n > 2) ADD_FAILURE() << "the loop ran on without a cartridge";
    if (n == 5) rig.nes->Stop();
  };
  rig.nes->Run();
  EXPECT_EQ(rig.nes->State(), "Stopped");
  EXPECT_EQ(rig.pump.m_nPumps, 2);
}

TEST(NesLoad, EngineChoiceIsExactAndEveryEngineStartsWithTheStoredDebugView) {
  CMemorySettingsStore settings;
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", "directx");
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  SPlatform platform;
  platform.pSettings = &settings;
  platform.pMessageBox = &messages;
  platform.pKeyboard = &keyboard;
  CNes nes(platform);
  CRom rom;
  ASSERT_TRUE(rom.LoadFromBytes("t.nes", MakeProgram(kIdleProgram)));
  ASSERT_TRUE(nes.LoadRom(&rom));
  EXPECT_EQ(typeid(*nes.Engine()), typeid(CNullEngine));

  SNesRig rig;
  rig.settings.WriteInt("Settings", "DebugPpu", 1);
  ASSERT_TRUE(
      rig.Load(MakeProgram(kNmiProgram, 0x9000, 0x8000, 0x8000, 0, {{0x9000, kNmiHandler}})));
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
