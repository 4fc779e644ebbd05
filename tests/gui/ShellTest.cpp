// The application shell driven by its menu commands and keys, offscreen,
// with the in-memory settings store and recorded message boxes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <typeinfo>

#include "app/MainFrame.h"
#include "app/ResourceIds.h"
#include "app/TolvarApp.h"
#include "app/TolvarView.h"
#include "core/Nes.h"
#include "gui/StepScript.h"
#include "platform/EvdevKeyMap.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/QtKeyFeed.h"
#include "platform/QtMessageBox.h"
#include "platform/QtSettingsStore.h"
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
  std::unique_ptr<CTolvarApp> app;

  // A first run on an empty store, or a later run on the prepared one.
  explicit SShell(const std::function<void(CMemorySettingsStore&)>& before = {},
                  ISettingsStore* pStore = nullptr) {
    if (before) {
      WriteFirstRunSettings(memory);
      memory.WriteString("Settings", "GraphicEngine", "NULL");
      before(memory);
    }
    app = std::make_unique<CTolvarApp>(SShellServices{.pSettings = pStore ? pStore : &memory,
                                                      .pMessageBox = &messages,
                                                      .pKeyboard = &keyboard,
                                                      .pTicks = &ticks,
                                                      .bPaceFrames = false,
                                                      .onSdlWindowFocus = {}});
    // A file named on the command line opens no ROM.
    EXPECT_TRUE(app->InitInstance({"tolvar", QString::fromStdString(kDemo)}));
    EXPECT_FALSE(View().IsRomLoaded());
  }
  CMainFrame& Frame() { return *app->MainFrame(); }
  CTolvarView& View() { return *Frame().View(); }
  CNes& Nes() { return *View().Nes(); }
  void Command(int nCommand) { Frame().OnCommand(nCommand); }
  QSize WindowSize() { return Frame().frameGeometry().size(); }
  // Opens a ROM, plays the steps while it runs, one a turn of its pump, then
  // stops it; false when it stopped before the last step, so checks in steps
  // cannot pass by not running.
  bool RunRom(const std::string& strPath, std::vector<std::function<void()>> steps) {
    bool bAllRan = false;
    steps.push_back([this, &bAllRan] {
      bAllRan = true;
      Command(ID_EMULATION_STOP);
    });
    auto pPlaying = PlaySteps(&Frame(), std::move(steps), [this] { return View().IsEmulating(); });
    View().OpenRom(strPath, true);
    *pPlaying = false;
    return bAllRan;
  }
};
}  // namespace

TEST(ShellStartUp, FirstRunAndItsMenuThenLaterRunsMirrorTheSettingsAHostileFileGivesDefaults) {
  SShell first;
  std::vector<std::string> order;
  for (const SSettingEntry& e : SettingsTable())
    order.push_back(std::string(e.pszSection) + "/" + e.pszName);
  EXPECT_EQ(first.memory.WriteLog(), order);
  CMainFrame& frame = first.Frame();
  EXPECT_EQ(frame.windowTitle(), "Tolvar 0.56");
  EXPECT_FALSE(frame.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(first.WindowSize(), QSize(267, 315));
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize()) << "the border is fixed";
  EXPECT_TRUE(frame.IsChecked(ID_RENDER_SDL) && frame.IsChecked(ID_CPU_C));
  EXPECT_FALSE(frame.IsChecked(ID_DEBUG_PPU));
  EXPECT_EQ(frame.ItemText(ID_FILE_RECENT3), "NULL");
  EXPECT_EQ(frame.PaneText(0) + frame.PaneText(1), "");
  // Save is grayed in the resource, enabled by its handler when the popup
  // opens; the item under the pointer prompts in pane 0.
  QMenu* pFile = frame.Popup(kFileMenu);
  EXPECT_FALSE(frame.Action(ID_FILE_SAVE)->isEnabled());
  frame.menuBar()->setActiveAction(pFile->menuAction());
  EXPECT_TRUE(frame.Action(ID_FILE_SAVE)->isEnabled());
  EXPECT_FALSE(frame.Action(ID_FILE_LOAD_STATE)->isEnabled());
  pFile->setActiveAction(frame.Action(ID_FILE_ROM_INFO));
  EXPECT_EQ(frame.PaneText(0), "Display informations about the current rom");
  pFile->hide();
  EXPECT_EQ(frame.PaneText(0), "");

  SShell later([](CMemorySettingsStore& s) {
    s.WriteInt("Settings", "DebugPpu", 1);
    s.WriteInt("Settings", "ResolutionX", 512);
    s.WriteInt("Settings", "ResolutionY", 480);
    s.WriteString("Settings", "GraphicEngine", "sdl");
    s.WriteString("Settings", "CpuEngine", "ASM");
    s.Remove("MRU", "File2");
  });
  EXPECT_EQ(later.WindowSize(), QSize(1035, 1035));
  EXPECT_TRUE(later.Frame().IsChecked(ID_DEBUG_PPU) && later.Frame().IsChecked(ID_RENDER_NULL) &&
              later.Frame().IsChecked(ID_CPU_ASM));
  EXPECT_EQ(later.Frame().ItemText(ID_FILE_RECENT2), "");
  EXPECT_EQ(later.memory.WriteLog().size(), order.size() + 6) << "only the preparation wrote";

  const std::string path = std::string(TOLVAR_OUTPUT_DIR) + "/hostile_settings.conf";
  std::ofstream(path) << "[Settings]\ndefault=1\nResolutionX=100000\nResolutionY=-3\nDebugPpu=5\n"
                         "GraphicEngine=a, b\n[MRU]\nFile1=1, 2\n";
  CQtSettingsStore hostile(path);
  SShell odd({}, &hostile);
  EXPECT_EQ(odd.WindowSize(), QSize(267, 315));
  EXPECT_TRUE(!odd.Frame().IsChecked(ID_DEBUG_PPU) && odd.Frame().IsChecked(ID_RENDER_SDL));
  EXPECT_EQ(odd.Frame().ItemText(ID_FILE_RECENT1), "");
}

TEST(ShellCommands, RecentFilesShiftAndRefreshBadFilesAreRefusedWithTheReadersMessage) {
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("MRU", "File1", "old"); });
  shell.RunRom(kDemo, {});
  shell.RunRom(kDemo, {});
  EXPECT_EQ(shell.memory.GetString("MRU", "File2", ""), kDemo);
  EXPECT_EQ(shell.memory.GetString("MRU", "File3", ""), "old");
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT1), kDemo);
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT3), "old");
  EXPECT_TRUE(shell.View().IsRomLoaded());

  // A recent item changes neither the list nor the menu; an image that
  // shrank after the browser showed it is refused like a missing one.
  const std::string shrunk = std::string(TOLVAR_OUTPUT_DIR) + "/shrunk.nes";
  std::filesystem::copy_file(kDemo, shrunk, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(shrunk, 16 + 1000);
  shell.Frame().SetItemText(ID_FILE_RECENT2, shrunk);
  const std::size_t nWrites = shell.memory.WriteLog().size();
  shell.Command(ID_FILE_RECENT3);
  EXPECT_FALSE(shell.View().IsRomLoaded());
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
  for (int n : {ID_EMULATION_START, ID_EMULATION_PAUSE, ID_EMULATION_RESET, ID_EMULATION_STOP})
    shell.Command(n);
  EXPECT_FALSE(shell.View().IsEmulating());
  // Accelerators work only outside the emulation loop.
  shell.Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&shell.Frame()));
  auto ctrlS = [&] { QTest::keyClick(&shell.Frame(), Qt::Key_S, Qt::ControlModifier); };
  ctrlS();

  auto debugView = [&] { return shell.Nes().Engine()->IsDebugView(); };
  EXPECT_TRUE(shell.RunRom(
      kDemo, {[&] { shell.Command(ID_DEBUG_PPU); }, [&] { EXPECT_TRUE(debugView()); },
              [&] { EXPECT_EQ(shell.WindowSize(), QSize(523, 555)); },
              [&] { shell.Command(ID_DEBUG_PPU); }, [&] { EXPECT_FALSE(debugView()); }}));
  EXPECT_EQ(shell.WindowSize(), QSize(267, 315));
  EXPECT_EQ(shell.memory.GetInt("Settings", "DebugPpu", -1), 0);

  int nEngines = 0;  // engines built by the machine, counted as they are made
  shell.Nes().SetEngineFactory([&](const std::string& name, CPpu* pPpu, bool bGivePpu) {
    ++nEngines;
    return CreateGraphicEngine(name, pPpu, shell.Nes().Platform(), bGivePpu);
  });
  EXPECT_TRUE(shell.RunRom(kDemo, {[&] { shell.Command(ID_RENDER_DIRECTX); },
                                   [&] { shell.Command(ID_RENDER_DIRECTX); }, ctrlS}));
  EXPECT_EQ(shell.messages.Messages(), std::vector<std::string>{"Save state not implented yet."});
  EXPECT_EQ(nEngines, 2) << "the load's and the switch's; a checked item builds none";
  EXPECT_EQ(typeid(*shell.Nes().Engine()), typeid(CDirectXEngine));
  EXPECT_EQ(shell.memory.GetString("Settings", "GraphicEngine", ""), "DirectX");
  EXPECT_FALSE(shell.Frame().IsChecked(ID_RENDER_SDL));

  // DirectX in full screen covers the display, menu bar and all.
  shell.memory.WriteInt("Settings", "Full Screen", 1);
  auto fullScreen = [&] {
    EXPECT_TRUE(shell.Frame().isFullScreen() && !shell.Frame().menuBar()->isVisible());
  };
  EXPECT_TRUE(shell.RunRom(kDemo, {[] {}, fullScreen}));
}

TEST(ShellClose, ClosingOrTheSdlCloseBoxWhileRunningStopsFirstAndClosesAfterTheLoop) {
  for (bool bSdlCloseBox : {false, true}) {
    SShell shell([&](CMemorySettingsStore& s) {
      if (bSdlCloseBox) s.WriteString("Settings", "GraphicEngine", "SDL");
    });
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    shell.RunRom(
        kDemo, {[&] { bSdlCloseBox ? void(SDL_PushEvent(&quit)) : void(shell.Frame().close()); }});
    EXPECT_EQ(shell.Nes().State(), "Stopped") << bSdlCloseBox;
    EXPECT_FALSE(shell.Frame().isVisible()) << bSdlCloseBox;
  }
}

TEST(ShellPlatform, NoCommandRunsWhileAMessageBoxIsUpAndKeysAreReadByPlace) {
  SShell shell([](CMemorySettingsStore&) {});
  CQtMessageBox box([&]() -> QWidget* { return &shell.Frame(); });
  QTimer::singleShot(0, [&] {
    shell.Command(ID_CPU_ASM);  // would write CpuEngine and show a message
    QWidget* pModal = QApplication::activeModalWidget();
    ASSERT_NE(pModal, nullptr);
    EXPECT_EQ(pModal->windowTitle(), "Tolvar");
    pModal->close();
  });
  box.Show("Bad Opcode Encountered...");
  EXPECT_FALSE(CQtMessageBox::IsShowing());
  EXPECT_EQ(shell.memory.GetString("Settings", "CpuEngine", ""), "C");
  EXPECT_TRUE(shell.messages.Messages().empty());

  // X11 reports the evdev code plus 8, whatever the layout calls the key.
  for (const auto& [nEvdev, nDik] : {std::pair{44, 0x2C}, {103, 0xC8}, {96, 0x9C}, {84, 0}})
    EXPECT_EQ(EvdevToDik(nEvdev), nDik) << nEvdev;
  EXPECT_EQ(CQtKeyFeed::KeyCodeOf(44 + 8, Qt::Key_W), 0x2C);
}
