// The application shell driven by its menu commands, offscreen, with the
// in-memory settings store and recorded message boxes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <filesystem>
#include <typeinfo>

#include "app/MainFrame.h"
#include "app/ResourceIds.h"
#include "app/TolvarApp.h"
#include "app/TolvarView.h"
#include "core/Nes.h"
#include "gui/StepScript.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/QtKeyFeed.h"
#include "platform/SettingsTable.h"
#include "video/DirectXEngine.h"
#include "video/EngineFactory.h"

namespace {
const std::string kDemo = std::string(TOLVAR_ROM_DIR) + "/demo.nes";

struct SShell {
  CMemorySettingsStore memory;
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  CQtKeyFeed keyFeed{&keyboard};  // Qt's key events reach the keyboard, as in the program
  std::unique_ptr<CTolvarApp> app;

  // A first run on an empty store, or a later run on the prepared one.
  explicit SShell(const std::function<void(CMemorySettingsStore&)>& before = {}) {
    QApplication::instance()->installEventFilter(&keyFeed);
    if (before) {
      WriteFirstRunSettings(memory);
      memory.WriteString("Settings", "GraphicEngine", "NULL");
      before(memory);
    }
    app = std::make_unique<CTolvarApp>(SShellServices{.pSettings = &memory,
                                                      .pMessageBox = &messages,
                                                      .pKeyboard = &keyboard,
                                                      .pTicks = &ticks,
                                                      .bPaceFrames = false});
    EXPECT_TRUE(app->InitInstance({"tolvar"}));
  }
  CMainFrame& Frame() { return *app->MainFrame(); }
  CTolvarView& View() { return *Frame().View(); }
  CNes& Nes() { return *View().Nes(); }
  void Command(int nCommand) { Frame().OnCommand(nCommand); }
  QSize WindowSize() { return Frame().frameGeometry().size(); }
  // Opens a ROM (or with no path, starts the one loaded), plays the steps
  // while it runs, one a turn of its pump, then stops it; false when it
  // stopped before the last step, so checks in steps cannot pass by not
  // running.
  bool RunRom(const std::string& strPath, Steps steps) {
    bool bAllRan = false;
    steps.push_back([this, &bAllRan] {
      bAllRan = true;
      Command(ID_EMULATION_STOP);
    });
    const CStepPlayer player(std::move(steps), [this] { return View().IsEmulating(); });
    strPath.empty() ? Command(ID_EMULATION_START) : View().OpenRom(strPath, true);
    return bAllRan;
  }
};
// Confirms the dialog that is up (from a step played in it).
void AcceptDialog() { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); }
}  // namespace

TEST(ShellStartUp, FirstRunWritesTheDefaultsLaterRunsMirrorTheSettingsKeysAreReadByPlace) {
  SShell first;
  EXPECT_EQ(first.memory.WriteLog().size(), SettingsTable().size());
  EXPECT_EQ(first.WindowSize(), QSize(267, 315));

  SShell later([](CMemorySettingsStore& s) {
    s.WriteInt("Settings", "DebugPpu", 1);
    s.WriteInt("Settings", "ResolutionX", 512);
    s.WriteInt("Settings", "ResolutionY", 480);
    s.WriteString("Settings", "CpuEngine", "ASM");
  });
  EXPECT_EQ(later.WindowSize(), QSize(1035, 1035));
  EXPECT_TRUE(later.Frame().IsChecked(ID_DEBUG_PPU) && later.Frame().IsChecked(ID_RENDER_NULL) &&
              later.Frame().IsChecked(ID_CPU_ASM));
  // X11 reports the evdev code plus 8, whatever the layout calls the key.
  EXPECT_EQ(CQtKeyFeed::KeyCodeOf(44 + 8, Qt::Key_W), 0x2C);
}

TEST(ShellCommands, RecentFilesShiftAndRefreshBadFilesAreRefusedWithTheReadersMessage) {
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("MRU", "File1", "old"); });
  shell.RunRom(kDemo, {});
  shell.RunRom(kDemo, {});
  EXPECT_EQ(shell.memory.GetString("MRU", "File3", ""), "old");

  // A recent item changes neither the list nor the menu; an image that
  // shrank after the browser showed it is refused like a missing one.
  const std::string shrunk = std::string(TOLVAR_OUTPUT_DIR) + "/shrunk.nes";
  std::filesystem::copy_file(kDemo, shrunk, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(shrunk, 16 + 1000);
  shell.Frame().SetItemText(ID_FILE_RECENT2, shrunk);
  const std::size_t nWrites = shell.memory.WriteLog().size();
  shell.Command(ID_FILE_RECENT3);
  shell.Command(ID_FILE_RECENT2);
  std::filesystem::remove(shrunk);
  EXPECT_EQ(
      shell.messages.Messages(),
      (std::vector<std::string>{"Unable to load the ROM image \"old\".\nThe file cannot be read.",
                                "Unable to load the ROM image \"" + shrunk +
                                    "\".\nIt holds less data than its header announces."}));
  EXPECT_EQ(shell.memory.WriteLog().size(), nWrites);
}

TEST(ShellCommands, EmulationNeedsARomEnginesSwitchWhileRunningAndDebugPpuResizes) {
  // SDL first: the engine with debug views (dummy video driver here).
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("Settings", "GraphicEngine", "SDL"); });
  for (int n : {ID_EMULATION_START, ID_EMULATION_PAUSE, ID_EMULATION_RESET}) shell.Command(n);
  EXPECT_FALSE(shell.View().IsEmulating());
  EXPECT_TRUE(shell.RunRom(kDemo, {[&] { shell.Command(ID_DEBUG_PPU); },
                                   [&] {
                                     EXPECT_TRUE(shell.Nes().Engine()->IsDebugView());
                                     EXPECT_EQ(shell.WindowSize(), QSize(523, 555));
                                   },
                                   [&] { shell.Command(ID_DEBUG_PPU); }}));
  EXPECT_EQ(shell.WindowSize(), QSize(267, 315));

  int nEngines = 0;  // engines built by the machine, counted as they are made
  shell.Nes().SetEngineFactory([&](const std::string& name, CPpu* pPpu, bool bGivePpu) {
    ++nEngines;
    return CreateGraphicEngine(name, pPpu, shell.Nes().Platform(), bGivePpu);
  });
  EXPECT_TRUE(shell.RunRom(kDemo, {[&] { shell.Command(ID_RENDER_DIRECTX); },
                                   [&] { shell.Command(ID_RENDER_DIRECTX); }}));
  EXPECT_EQ(nEngines, 2) << "the load's and the switch's; a checked item builds none";
  EXPECT_EQ(typeid(*shell.Nes().Engine()), typeid(CDirectXEngine));
}

TEST(ShellClose, ClosingWhileRunningStopsFirstAndClosesAfterTheLoop) {
  SShell shell([](CMemorySettingsStore&) {});
  shell.RunRom(kDemo, {[&] { shell.Frame().close(); }});
  EXPECT_TRUE(shell.Nes().State() == "Stopped" && !shell.Frame().isVisible());
}

TEST(ShellSdlWindow, KeysItHeldAsItWentAreUpItsCloseBoxEndsTheProgramOnlyInAGame) {
  SShell shell([](auto& s) { s.WriteString("Settings", "GraphicEngine", "SDL"); });
  // Escape stops the game in the SDL window, which goes while Escape is down.
  SDL_Event escape{.key = {SDL_KEYDOWN, 0, 1, {0, SDLK_ESCAPE, KMOD_NONE, 0}}}, quit{SDL_QUIT};
  EXPECT_FALSE(shell.RunRom(kDemo, {[&] { SDL_PushEvent(&escape); }, [] {}, [] {}}));
  EXPECT_TRUE(shell.RunRom("", {[] {}, [] {}})) << "Escape was still down";
  // Video Settings' OK opens the window while nothing runs: its close box
  // closes it alone, at once; in a game it stops and closes the program.
  const CStepPlayer ok({AcceptDialog});
  shell.Command(ID_SETTINGS_VIDEO);
  EXPECT_TRUE(SDL_GetVideoSurface() && SDL_PushEvent(&quit) == 0);
  EXPECT_TRUE(QTest::qWaitFor([] { return !SDL_WasInit(SDL_INIT_VIDEO); }));
  EXPECT_TRUE(shell.RunRom("", {[] {}, [] {}}) && shell.Frame().isVisible()) << "a quit was left";
  shell.RunRom("", {[&] { SDL_PushEvent(&quit); }});
  EXPECT_TRUE(shell.Nes().State() == "Stopped" && !shell.Frame().isVisible());
}

TEST(ShellDirectX, MenusTakeNoGameKeysAndEndingFullScreenGivesTheWindowBack) {
  SShell shell([](auto& s) { s.WriteString("Settings", "GraphicEngine", "DirectX"); });
  CMainFrame& frame = shell.Frame();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  // Each key as the keyboard sends it, and whether a menu is open after it:
  // Alt+F opens File; F, the game's, opens none after Escape or Alt alone
  // gave the menu bar the keys (and Return would then choose Load). Escape
  // goes up with the menu it closed: the game goes on.
  const QKeyCombination keys[] = {Qt::ALT | Qt::Key_F, Qt::Key_Escape, Qt::Key_F, Qt::Key_Alt,
                                  Qt::Key_F};
  Steps steps;
  for (const QKeyCombination key : keys)
    steps.push_back([&, key] {
      QTest::keyPress(frame.windowHandle(), key.key(), key.keyboardModifiers());
      if (key.key() != Qt::Key_Escape) QTest::keyRelease(frame.windowHandle(), key.key(), {});
      EXPECT_EQ(QApplication::activePopupWidget() != nullptr, key == keys[0]) << key.key();
    });
  EXPECT_TRUE(shell.RunRom(kDemo, steps));
  if (QWidget* pMenu = QApplication::activePopupWidget()) pMenu->close();

  // A game full screen ends by Escape; again, by another engine.
  shell.memory.WriteInt("Settings", "Full Screen", 1);
  const QSize size = frame.size();  // as start-up made it from the settings
  auto windowed = [&] { return frame.menuBar()->isVisible() && frame.size() == size; };
  for (int nEnd : {ID_EMULATION_STOP, ID_RENDER_NULL}) {
    shell.RunRom(kDemo, {[&] {
                   EXPECT_FALSE(windowed());
                   nEnd == ID_RENDER_NULL ? shell.Command(nEnd)
                                          : shell.keyboard.Press(dik::kEscape);
                 }});
    shell.keyboard.Release(dik::kEscape);
    EXPECT_TRUE(windowed()) << nEnd;
    // Video Settings' OK sets the engine up again, full screen: shown in a game only.
    const CStepPlayer ok({AcceptDialog});
    shell.Command(ID_SETTINGS_VIDEO);
    EXPECT_TRUE(windowed()) << nEnd;
    shell.Command(ID_RENDER_DIRECTX);
  }
}
