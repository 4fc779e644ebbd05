// The application shell driven by its menu commands and keys, offscreen,
// with the in-memory settings store and recorded message boxes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <cstdio>
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
std::string RomPath(const char* pszName) { return std::string(TOLVAR_ROM_DIR) + "/" + pszName; }

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
    SShellServices services;
    services.pSettings = pStore ? pStore : &memory;
    services.pMessageBox = &messages;
    services.pKeyboard = &keyboard;
    services.pTicks = &ticks;
    services.bPaceFrames = false;
    app = std::make_unique<CTolvarApp>(services);
    // A file named on the command line opens no ROM.
    EXPECT_TRUE(app->InitInstance({"tolvar", QString::fromStdString(RomPath("demo.nes"))}));
    EXPECT_FALSE(View().IsRomLoaded());
  }
  CMainFrame& Frame() { return *app->MainFrame(); }
  CTolvarView& View() { return *Frame().View(); }
  CNes& Nes() { return *View().Nes(); }
  void Command(int nCommand) { Frame().OnCommand(nCommand); }
  QSize WindowSize() { return Frame().frameGeometry().size(); }
  // Runs a command that starts the machine, plays the steps while it runs,
  // one a turn of its pump, then stops it.
  void WhileRunning(const std::function<void()>& start, std::vector<std::function<void()>> steps) {
    steps.push_back([this] { Command(ID_EMULATION_STOP); });
    auto pPlaying = PlaySteps(&Frame(), std::move(steps), [this] { return View().IsEmulating(); });
    start();
    *pPlaying = false;
  }
  void RunRom(const std::string& strPath, std::vector<std::function<void()>> steps,
              bool bAddToMru = true) {
    WhileRunning([&] { View().OpenRom(strPath, bAddToMru); }, std::move(steps));
  }
};
}  // namespace

TEST(ShellStartUp, FirstRunThenLaterRunsMirrorTheSettingsAndAHostileFileGivesDefaults) {
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

  SShell later([](CMemorySettingsStore& s) {
    s.WriteInt("Settings", "DebugPpu", 1);
    s.WriteInt("Settings", "ResolutionX", 512);
    s.WriteInt("Settings", "ResolutionY", 480);
    s.WriteString("Settings", "GraphicEngine", "sdl");
    s.WriteString("Settings", "CpuEngine", "ASM");
    s.Remove("MRU", "File2");
  });
  EXPECT_EQ(later.WindowSize(), QSize(1035, 1035));
  EXPECT_TRUE(later.Frame().IsChecked(ID_DEBUG_PPU) && later.Frame().IsChecked(ID_RENDER_NULL));
  EXPECT_TRUE(later.Frame().IsChecked(ID_CPU_ASM));
  EXPECT_EQ(later.Frame().ItemText(ID_FILE_RECENT2), "");
  EXPECT_EQ(later.memory.WriteLog().size(), order.size() + 6) << "only the preparation wrote";

  const std::string path = std::string(TOLVAR_OUTPUT_DIR) + "/hostile_settings.conf";
  std::ofstream(path) << "[Settings]\ndefault=1\nResolutionX=100000\nResolutionY=-3\nDebugPpu=5\n"
                         "GraphicEngine=a, b\n[MRU]\nFile1=1, 2\n";
  CQtSettingsStore hostile(path);
  SShell odd({}, &hostile);
  EXPECT_EQ(odd.WindowSize(), QSize(267, 315));
  EXPECT_FALSE(odd.Frame().IsChecked(ID_DEBUG_PPU));
  EXPECT_TRUE(odd.Frame().IsChecked(ID_RENDER_SDL));
  EXPECT_EQ(odd.Frame().ItemText(ID_FILE_RECENT1), "");
}

TEST(ShellMenu, TextsPromptsAndTheEnablingRule) {
  SShell shell;
  CMainFrame& frame = shell.Frame();
  QMenu* pFile = frame.Popup(kFileMenu);
  const QList<QAction*> items = pFile->actions();
  ASSERT_EQ(items.size(), 8);
  EXPECT_EQ(items[0]->text(), "&Load...\tCtrl+L");
  EXPECT_TRUE(items[4]->isSeparator());
  EXPECT_EQ(items[5]->menu()->actions().size(), 3);
  EXPECT_EQ(frame.Action(ID_DEBUG_PPU)->statusTip(),
            "View the patern tables, name tables and palettes. ");
  // Grayed in the resource, enabled by its handler when the popup opens.
  EXPECT_FALSE(frame.Action(ID_FILE_SAVE)->isEnabled());
  frame.menuBar()->setActiveAction(pFile->menuAction());
  EXPECT_TRUE(frame.Action(ID_FILE_SAVE)->isEnabled());
  EXPECT_FALSE(frame.Action(ID_FILE_LOAD_STATE)->isEnabled());
  pFile->setActiveAction(frame.Action(ID_FILE_ROM_INFO));
  EXPECT_EQ(frame.PaneText(0), "Display informations about the current rom");
  pFile->hide();
  EXPECT_EQ(frame.PaneText(0), "");
}

TEST(ShellCommands, RecentFilesShiftAndRefreshBadFilesAreRefusedWithTheReadersMessage) {
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("MRU", "File1", "old"); });
  const std::string demo = RomPath("demo.nes");
  shell.RunRom(demo, {});
  shell.RunRom(demo, {});
  EXPECT_EQ(shell.memory.GetString("MRU", "File2", ""), demo);
  EXPECT_EQ(shell.memory.GetString("MRU", "File3", ""), "old");
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT1), demo);
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT3), "old");
  EXPECT_TRUE(shell.View().IsRomLoaded());

  // A recent item changes neither the list nor the menu; an image that
  // shrank after the browser showed it is refused like a missing one.
  const std::string shrunk = std::string(TOLVAR_OUTPUT_DIR) + "/shrunk.nes";
  std::vector<char> head(16 + 1000);
  std::ifstream(demo, std::ios::binary)
      .read(head.data(), static_cast<std::streamsize>(head.size()));
  std::ofstream(shrunk, std::ios::binary)
      .write(head.data(), static_cast<std::streamsize>(head.size()));
  shell.Frame().SetItemText(ID_FILE_RECENT2, shrunk);
  const std::size_t nWrites = shell.memory.WriteLog().size();
  shell.Command(ID_FILE_RECENT3);
  EXPECT_FALSE(shell.View().IsRomLoaded());
  shell.Command(ID_FILE_RECENT2);
  std::remove(shrunk.c_str());
  EXPECT_EQ(
      shell.messages.Messages(),
      (std::vector<std::string>{"Unable to load the ROM image \"old\".\nThe file cannot be read.",
                                "Unable to load the ROM image \"" + shrunk +
                                    "\".\nIt holds less data than its header announces."}));
  EXPECT_EQ(shell.memory.WriteLog().size(), nWrites);
}

TEST(ShellCommands, EmulationNeedsARomEnginesSwitchWhileRunningAndCtrlSOnlyOutsideTheLoop) {
  SShell shell([](CMemorySettingsStore&) {});
  for (int n : {ID_EMULATION_START, ID_EMULATION_PAUSE, ID_EMULATION_RESET, ID_EMULATION_STOP})
    shell.Command(n);
  EXPECT_FALSE(shell.View().IsEmulating());
  shell.Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&shell.Frame()));
  QTest::keyClick(&shell.Frame(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(shell.messages.Messages(), std::vector<std::string>{"Save state not implented yet."});

  int nEngines = 0;  // engines built by the machine, counted as they are made
  shell.Nes().SetEngineFactory([&](const std::string& name, CPpu* pPpu, bool bGivePpu) {
    ++nEngines;
    return CreateGraphicEngine(name, pPpu, shell.Nes().Platform(), bGivePpu);
  });
  std::vector<std::function<void()>> steps = {
      [&] { QTest::keyClick(&shell.Frame(), Qt::Key_S, Qt::ControlModifier); },
      [&] { shell.Command(ID_RENDER_DIRECTX); }, [&] { shell.Command(ID_RENDER_DIRECTX); },
      [&] { EXPECT_EQ(nEngines, 2) << "the load's and the switch's; a checked item builds none"; }};
  steps.resize(60, [] {});  // the game starts again from its reset and draws its screen
  shell.RunRom(RomPath("demo.nes"), steps);
  EXPECT_EQ(shell.messages.Messages().size(), 1u);
  EXPECT_EQ(typeid(*shell.Nes().Engine()), typeid(CDirectXEngine));
  EXPECT_EQ(shell.memory.GetString("Settings", "GraphicEngine", ""), "DirectX");
  EXPECT_FALSE(shell.Frame().IsChecked(ID_RENDER_NULL));
  // The DirectX picture is in the view's client area, inset by 3 pixels.
  const QImage view = shell.View().grab().toImage();
  EXPECT_NE(view.pixelColor(10, 60), QColor(Qt::black));
  EXPECT_EQ(view.pixelColor(1, 1), QColor(Qt::black));
  shell.Command(ID_RENDER_NULL);  // not running: the next load takes it up
  EXPECT_EQ(typeid(*shell.Nes().Engine()), typeid(CDirectXEngine));

  bool bRan = false;
  shell.WhileRunning([&] { shell.Command(ID_EMULATION_START); },
                     {[&] { bRan = true; }, [&] { shell.Command(ID_EMULATION_PAUSE); }});
  EXPECT_TRUE(bRan);
  EXPECT_EQ(shell.Nes().State(), "Paused");
}

TEST(ShellCommands, DebugPpuResizesAndKeepsCheckAndEngineTogetherAndDirectXCoversTheDisplay) {
  // The SDL engine is the one with debug views (dummy video driver here).
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("Settings", "GraphicEngine", "SDL"); });
  bool bOn = false, bOff = true;
  shell.RunRom(
      RomPath("demo.nes"),
      {[&] { shell.Command(ID_DEBUG_PPU); }, [&] { bOn = shell.Nes().Engine()->IsDebugView(); },
       [&] { EXPECT_EQ(shell.WindowSize(), QSize(523, 555)); },
       [&] { shell.Command(ID_DEBUG_PPU); }, [&] { bOff = shell.Nes().Engine()->IsDebugView(); }});
  EXPECT_TRUE(bOn);
  EXPECT_FALSE(bOff);
  EXPECT_EQ(shell.WindowSize(), QSize(267, 315));
  EXPECT_EQ(shell.memory.GetInt("Settings", "DebugPpu", -1), 0);
  shell.Command(ID_DEBUG_PPU);
  shell.RunRom(RomPath("demo.nes"), {}, false);  // a new engine starts in step
  EXPECT_TRUE(shell.Nes().Engine()->IsDebugView());

  shell.memory.WriteString("Settings", "GraphicEngine", "DirectX");
  shell.memory.WriteInt("Settings", "Full Screen", 1);
  bool bFullScreen = false, bMenu = true;
  shell.RunRom(RomPath("demo.nes"), {[] {},
                                     [&] {
                                       bFullScreen = shell.Frame().isFullScreen();
                                       bMenu = shell.Frame().menuBar()->isVisible();
                                     }});
  EXPECT_TRUE(bFullScreen && !bMenu);
}

TEST(ShellClose, ClosingOrTheSdlCloseBoxWhileRunningStopsFirstAndClosesAfterTheLoop) {
  for (bool bSdlCloseBox : {false, true}) {
    SShell shell([&](CMemorySettingsStore& s) {
      if (bSdlCloseBox) s.WriteString("Settings", "GraphicEngine", "SDL");
    });
    bool bStillOpen = false;
    shell.RunRom(RomPath("demo.nes"), {[&] {
                                         SDL_Event quit = {};
                                         quit.type = SDL_QUIT;
                                         if (bSdlCloseBox)
                                           SDL_PushEvent(&quit);
                                         else
                                           shell.Frame().close();
                                       },
                                       [&] { bStillOpen = shell.Frame().isVisible(); }});
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
  const std::pair<int, int> keys[] = {{44, 0x2C},  {15, 0x0F}, {103, 0xC8},
                                      {108, 0xD0}, {96, 0x9C}, {84, 0}};
  for (const auto& [nEvdev, nDik] : keys) EXPECT_EQ(EvdevToDik(nEvdev), nDik) << nEvdev;
  EXPECT_EQ(CQtKeyFeed::KeyCodeOf(44 + 8, Qt::Key_W), 0x2C);
  CKeyStateKeyboard keyboard;
  CQtKeyFeed feed(&keyboard);
  QWidget window;
  window.installEventFilter(&feed);
  QTest::keyPress(&window, Qt::Key_Z);  // no scan code offscreen: by its Qt key
  BYTE keys256[256] = {};
  auto down = [&] {
    keyboard.GetDeviceState(keys256);
    return keys256[0x2C] != 0;
  };
  EXPECT_TRUE(down());
  feed.SetSdlWindowFocus(true);
  feed.SetApplicationActive(false);
  feed.SetSdlWindowFocus(false);
  EXPECT_TRUE(down()) << "released only once the focus has settled elsewhere";
  QTest::qWait(300);
  EXPECT_FALSE(down());
}
