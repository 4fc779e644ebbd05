// The application shell driven by its menu commands and keys, offscreen,
// with the in-memory settings store and recorded message boxes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <SDL.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "app/MainFrame.h"
#include "app/ResourceIds.h"
#include "app/TolvarApp.h"
#include "app/TolvarView.h"
#include "core/Nes.h"
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
#include "video/NullEngine.h"
#include "video/SdlEngine.h"

namespace {
std::string RomPath(const char* pszName) { return std::string(TOLVAR_ROM_DIR) + "/" + pszName; }

struct SShell {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  SShellServices services;
  std::unique_ptr<CTolvarApp> app;

  // A first run, or a later one on the settings prepared by before.
  explicit SShell(const std::function<void(CMemorySettingsStore&)>& before = {}) {
    if (before) {
      WriteFirstRunSettings(settings);
      settings.WriteString("Settings", "GraphicEngine", "NULL");
      before(settings);
    }
    services.pSettings = &settings;
    services.pMessageBox = &messages;
    services.pKeyboard = &keyboard;
    services.pTicks = &ticks;
    services.bPaceFrames = false;
    app = std::make_unique<CTolvarApp>(services);
    app->InitInstance({QStringLiteral("tolvar"), QString::fromStdString(RomPath("demo.nes"))});
  }
  CMainFrame& Frame() { return *app->MainFrame(); }
  CTolvarView& View() { return *Frame().View(); }
  CNes& Nes() { return *View().Nes(); }
  void Command(int nCommand) { Frame().OnCommand(nCommand); }

  // Opens a ROM and plays the steps while it runs, one per frame; the last
  // step's frame ends with Stop. Returns when the machine has stopped.
  void RunRom(const std::string& strPath, std::vector<std::function<void()>> steps,
              bool bAddToMru = true) {
    steps.push_back([this] { Command(ID_EMULATION_STOP); });
    PlayWhileRunning(std::move(steps));
    View().OpenRom(strPath, bAddToMru);
  }
  void PlayWhileRunning(std::vector<std::function<void()>> steps) {
    // The step runner holds itself only weakly; each scheduled turn holds
    // it, so it goes when the last turn has run.
    auto pSteps = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
    auto pNext = std::make_shared<std::function<void(std::size_t)>>();
    std::weak_ptr<std::function<void(std::size_t)>> next = pNext;
    *pNext = [this, pSteps, next](std::size_t i) {
      // Steps left when the machine stopped early never run.
      if (i >= pSteps->size() || (i > 0 && !View().IsEmulating())) return;
      (*pSteps)[i]();
      QTimer::singleShot(0, &Frame(), [pNext = next.lock(), i] { (*pNext)(i + 1); });
    };
    QTimer::singleShot(0, &Frame(), [pNext] { (*pNext)(0); });
  }
  QSize WindowSize() { return Frame().frameGeometry().size(); }
};
}  // namespace

TEST(ShellStartUp, FirstRunWritesEveryValueInOrderAndShapesTheWindow) {
  SShell shell;
  std::vector<std::string> order;
  for (const SSettingEntry& e : SettingsTable())
    order.push_back(std::string(e.pszSection) + "/" + e.pszName);
  EXPECT_EQ(shell.settings.WriteLog(), order);

  CMainFrame& frame = shell.Frame();
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tolvar 0.56"));
  EXPECT_FALSE(frame.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(shell.WindowSize(), QSize(267, 315));
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize()) << "the border is fixed";
  EXPECT_TRUE(frame.IsChecked(ID_RENDER_SDL));
  EXPECT_TRUE(frame.IsChecked(ID_CPU_C));
  EXPECT_FALSE(frame.IsChecked(ID_DEBUG_PPU));
  for (int n : {ID_FILE_RECENT1, ID_FILE_RECENT2, ID_FILE_RECENT3})
    EXPECT_EQ(frame.ItemText(n), "NULL");
  EXPECT_EQ(frame.PaneText(0), "");
  EXPECT_EQ(frame.PaneText(1), "");
  EXPECT_FALSE(shell.View().IsRomLoaded()) << "a file on the command line opens no ROM";
}

TEST(ShellStartUp, LaterRunsMirrorTheStoredSettingsAndWriteNothing) {
  SShell shell([](CMemorySettingsStore& s) {
    s.WriteInt("Settings", "DebugPpu", 1);
    s.WriteInt("Settings", "ResolutionX", 512);
    s.WriteInt("Settings", "ResolutionY", 480);
    s.WriteString("Settings", "GraphicEngine", "sdl");
    s.WriteString("Settings", "CpuEngine", "ASM");
    s.Remove("MRU", "File2");
  });
  const std::size_t nWrites = shell.settings.WriteLog().size();
  EXPECT_EQ(shell.WindowSize(), QSize(1035, 1035));
  EXPECT_TRUE(shell.Frame().IsChecked(ID_DEBUG_PPU));
  EXPECT_TRUE(shell.Frame().IsChecked(ID_RENDER_NULL));
  EXPECT_FALSE(shell.Frame().IsChecked(ID_RENDER_SDL));
  EXPECT_TRUE(shell.Frame().IsChecked(ID_CPU_ASM));
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT2), "");
  EXPECT_EQ(shell.settings.WriteLog().size(), nWrites);
}

TEST(ShellStartUp, AHostileSettingsFileGivesEachReadersDefault) {
  const std::string path = std::string(TOLVAR_OUTPUT_DIR) + "/hostile_settings.conf";
  {
    std::ofstream file(path);
    file << "[Settings]\ndefault=1\nResolutionX=100000\nResolutionY=-3\nDebugPpu=5\n"
            "GraphicEngine=a, b\nCpuEngine=\n[MRU]\nFile1=1, 2\n";
  }
  CQtSettingsStore settings(path);
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  SShellServices services;
  services.pSettings = &settings;
  services.pMessageBox = &messages;
  services.pKeyboard = &keyboard;
  CTolvarApp app(services);
  ASSERT_TRUE(app.InitInstance({}));
  EXPECT_EQ(app.MainFrame()->frameGeometry().size(), QSize(267, 315));
  EXPECT_FALSE(app.MainFrame()->IsChecked(ID_DEBUG_PPU));
  EXPECT_TRUE(app.MainFrame()->IsChecked(ID_RENDER_SDL));
  EXPECT_TRUE(app.MainFrame()->IsChecked(ID_CPU_ASM)) << "an empty text is not \"C\"";
  EXPECT_EQ(app.MainFrame()->ItemText(ID_FILE_RECENT1), "");
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(ShellMenu, TextsPromptsAndTheEnablingRule) {
  SShell shell;
  CMainFrame& frame = shell.Frame();
  QMenu* pFile = frame.Popup(kFileMenu);
  ASSERT_NE(pFile, nullptr);
  const QList<QAction*> items = pFile->actions();
  ASSERT_EQ(items.size(), 8);
  EXPECT_EQ(items[0]->text(), QStringLiteral("&Load...\tCtrl+L"));
  EXPECT_TRUE(items[4]->isSeparator());
  EXPECT_EQ(items[5]->menu()->actions().size(), 3);
  EXPECT_EQ(frame.Popup(kDebugMenu)->actions()[1]->statusTip(),
            QStringLiteral("View the patern tables, name tables and palettes. "));

  // Grayed in the resource, enabled by its handler when the popup opens.
  EXPECT_FALSE(frame.Action(ID_FILE_SAVE)->isEnabled());
  pFile->popup(QPoint(0, 0));
  EXPECT_TRUE(frame.Action(ID_FILE_SAVE)->isEnabled());
  EXPECT_FALSE(frame.Action(ID_FILE_LOAD_STATE)->isEnabled());
  pFile->hide();

  // Opened from the menu bar, as the user opens it.
  QMenu* pEmulation = frame.Popup(kEmulationMenu);
  frame.menuBar()->setActiveAction(pEmulation->menuAction());
  pEmulation->setActiveAction(frame.Action(ID_EMULATION_START));
  EXPECT_EQ(frame.PaneText(0), "Start CPU");
  pEmulation->hide();
  EXPECT_EQ(frame.PaneText(0), "");
}

TEST(ShellCommands, RecentFilesShiftAndRefreshAndBadItemsFailCleanly) {
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("MRU", "File1", "old"); });
  const std::string demo = RomPath("demo.nes");
  shell.RunRom(demo, {});
  shell.RunRom(demo, {});
  EXPECT_EQ(shell.settings.GetString("MRU", "File1", ""), demo);
  EXPECT_EQ(shell.settings.GetString("MRU", "File2", ""), demo);
  EXPECT_EQ(shell.settings.GetString("MRU", "File3", ""), "old");
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT3), "old");
  EXPECT_TRUE(shell.View().IsRomLoaded());

  // A recent item changes neither the list nor the menu; "old" and an
  // empty text fail in the image reader, which says so.
  const std::size_t nWrites = shell.settings.WriteLog().size();
  shell.Command(ID_FILE_RECENT3);
  EXPECT_FALSE(shell.View().IsRomLoaded());
  shell.Frame().SetItemText(ID_FILE_RECENT2, "");
  shell.Command(ID_FILE_RECENT2);
  ASSERT_EQ(shell.messages.Messages().size(), 2u);
  EXPECT_EQ(shell.messages.Messages()[0],
            "Unable to load the ROM image \"old\".\nThe file cannot be read.");
  EXPECT_EQ(shell.settings.WriteLog().size(), nWrites);
  EXPECT_EQ(shell.Frame().ItemText(ID_FILE_RECENT1), demo);
}

TEST(ShellCommands, ARomThatChangedAfterTheBrowserIsRefusedWithTheReadersMessage) {
  SShell shell([](CMemorySettingsStore&) {});
  const std::string path = std::string(TOLVAR_OUTPUT_DIR) + "/shrunk.nes";
  {
    std::ifstream demo(RomPath("demo.nes"), std::ios::binary);
    std::ofstream shrunk(path, std::ios::binary);
    std::vector<char> head(16 + 1000);
    demo.read(head.data(), static_cast<std::streamsize>(head.size()));
    shrunk.write(head.data(), static_cast<std::streamsize>(head.size()));
  }
  shell.View().OpenRom(path, true);
  std::remove(path.c_str());
  shell.View().OpenRom(path, true);
  EXPECT_FALSE(shell.View().IsRomLoaded());
  EXPECT_EQ(shell.messages.Messages(),
            (std::vector<std::string>{
                "Unable to load the ROM image \"" + path +
                    "\".\nIt holds less data than its header announces.",
                "Unable to load the ROM image \"" + path + "\".\nThe file cannot be read."}));
  EXPECT_EQ(shell.settings.GetString("MRU", "File1", ""), "NULL");
}

TEST(ShellCommands, StartStopPauseAndResetWorkOnlyWithARom) {
  SShell shell([](CMemorySettingsStore&) {});
  for (int n : {ID_EMULATION_START, ID_EMULATION_PAUSE, ID_EMULATION_RESET, ID_EMULATION_STOP})
    shell.Command(n);
  EXPECT_EQ(shell.Nes().State(), "Stopped");
  EXPECT_FALSE(shell.View().IsEmulating());

  shell.RunRom(RomPath("demo.nes"), {[&] { shell.Command(ID_EMULATION_PAUSE); }});
  EXPECT_EQ(shell.Nes().State(), "Paused");
  bool bRan = false;
  shell.PlayWhileRunning({[&] { bRan = shell.View().IsEmulating(); },
                          [&] { shell.Command(ID_EMULATION_RESET); },
                          [&] { shell.Command(ID_EMULATION_STOP); }});
  shell.Command(ID_EMULATION_START);
  EXPECT_TRUE(bRan);
  EXPECT_EQ(shell.Nes().State(), "Stopped");
}

TEST(ShellCommands, EngineSwitchesWhileRunningAndTheCheckedItemIsKept) {
  SShell shell([](CMemorySettingsStore&) {});
  const CGraphicEngine* pBefore = nullptr;
  const CGraphicEngine* pAfter = nullptr;
  std::vector<std::function<void()>> steps = {
      [&] { pBefore = shell.Nes().Engine(); shell.Command(ID_RENDER_DIRECTX); },
      [&] { pAfter = shell.Nes().Engine(); shell.Command(ID_RENDER_DIRECTX); },
      [&] { EXPECT_EQ(shell.Nes().Engine(), pAfter) << "an already checked item rebuilds nothing"; },
  };
  steps.resize(60, [] {});  // the game starts again from its reset and draws its screen
  shell.RunRom(RomPath("demo.nes"), steps);
  EXPECT_NE(pBefore, pAfter);
  EXPECT_EQ(typeid(*pAfter), typeid(CDirectXEngine));
  EXPECT_EQ(shell.settings.GetString("Settings", "GraphicEngine", ""), "DirectX");
  EXPECT_TRUE(shell.Frame().IsChecked(ID_RENDER_DIRECTX));
  EXPECT_FALSE(shell.Frame().IsChecked(ID_RENDER_NULL));
  // Its picture went into the view's client area, inset by 3 pixels.
  const QImage view = shell.View().grab().toImage();
  EXPECT_NE(view.pixelColor(10, 60), QColor(Qt::black));
  EXPECT_EQ(view.pixelColor(1, 1), QColor(Qt::black));

  shell.Command(ID_RENDER_NULL);  // stopped: the next load takes it up
  EXPECT_EQ(typeid(*shell.Nes().Engine()), typeid(CDirectXEngine));
}

TEST(ShellCommands, DirectXFullScreenCoversTheDisplay) {
  SShell shell([](CMemorySettingsStore& s) {
    s.WriteString("Settings", "GraphicEngine", "DirectX");
    s.WriteInt("Settings", "Full Screen", 1);
  });
  bool bFullScreen = false;
  bool bMenuShown = true;
  shell.RunRom(RomPath("demo.nes"), {[] {}, [&] {
                 bFullScreen = shell.Frame().isFullScreen();
                 bMenuShown = shell.Frame().menuBar()->isVisible();
               }});
  EXPECT_TRUE(bFullScreen);
  EXPECT_FALSE(bMenuShown);
}

TEST(ShellCommands, CtrlSWorksOutsideTheLoopOnly) {
  SShell shell([](CMemorySettingsStore&) {});
  shell.Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&shell.Frame()));
  QTest::keyClick(&shell.Frame(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(shell.messages.Messages(), std::vector<std::string>{"Save state not implented yet."});
  shell.RunRom(RomPath("demo.nes"),
               {[&] { QTest::keyClick(&shell.Frame(), Qt::Key_S, Qt::ControlModifier); }});
  EXPECT_EQ(shell.messages.Messages().size(), 1u);
}

TEST(ShellCommands, DebugPpuResizesAndKeepsCheckAndEngineTogether) {
  // The SDL engine is the one with debug views (dummy video driver here).
  SShell shell([](CMemorySettingsStore& s) { s.WriteString("Settings", "GraphicEngine", "SDL"); });
  bool bOn = false;
  bool bOff = true;
  shell.RunRom(RomPath("demo.nes"),
               {[&] { shell.Command(ID_DEBUG_PPU); },
                [&] { bOn = shell.Nes().Engine()->IsDebugView(); },
                [&] { EXPECT_EQ(shell.WindowSize(), QSize(523, 555)); },
                [&] { shell.Command(ID_DEBUG_PPU); },
                [&] { bOff = shell.Nes().Engine()->IsDebugView(); }});
  EXPECT_TRUE(bOn);
  EXPECT_FALSE(bOff);
  EXPECT_EQ(shell.WindowSize(), QSize(267, 315));
  EXPECT_FALSE(shell.Frame().IsChecked(ID_DEBUG_PPU));
  EXPECT_EQ(shell.settings.GetInt("Settings", "DebugPpu", -1), 0);

  shell.Command(ID_DEBUG_PPU);
  shell.RunRom(RomPath("demo.nes"), {}, false);  // a new engine starts in step
  EXPECT_TRUE(shell.Nes().Engine()->IsDebugView());
}

TEST(ShellClose, ClosingWhileRunningStopsFirstAndClosesAfterTheLoop) {
  for (bool bSdlCloseBox : {false, true}) {
    SShell shell([&](CMemorySettingsStore& s) {
      if (bSdlCloseBox) s.WriteString("Settings", "GraphicEngine", "SDL");
    });
    bool bStillOpen = false;
    shell.RunRom(RomPath("demo.nes"), {[&] {
                   if (bSdlCloseBox) {
                     SDL_Event quit = {};
                     quit.type = SDL_QUIT;
                     SDL_PushEvent(&quit);
                   } else {
                     shell.Frame().close();
                   }
                 },
                 [&] { bStillOpen = shell.Frame().isVisible(); }});
    EXPECT_EQ(shell.Nes().State(), "Stopped") << bSdlCloseBox;
    EXPECT_FALSE(shell.Frame().isVisible()) << bSdlCloseBox;
    EXPECT_FALSE(shell.View().IsEmulating());
  }
}

TEST(ShellMessages, NoCommandRunsWhileAMessageBoxIsUp) {
  SShell shell([](CMemorySettingsStore&) {});
  CQtMessageBox box([&]() -> QWidget* { return &shell.Frame(); });
  bool bChecked = false;
  QTimer::singleShot(0, [&] {
    shell.Command(ID_CPU_ASM);  // would write CpuEngine and show a message
    bChecked = true;
    QWidget* pModal = QApplication::activeModalWidget();
    ASSERT_NE(pModal, nullptr);
    EXPECT_EQ(pModal->windowTitle(), QStringLiteral("Tolvar"));
    pModal->close();
  });
  box.Show("Bad Opcode Encountered...");
  EXPECT_TRUE(bChecked);
  EXPECT_FALSE(CQtMessageBox::IsShowing());
  EXPECT_EQ(shell.settings.GetString("Settings", "CpuEngine", ""), "C");
  EXPECT_TRUE(shell.messages.Messages().empty());
}

TEST(ShellKeyboard, PhysicalKeysAndFocusLoss) {
  EXPECT_EQ(EvdevToDik(44), 0x2C);   // Z
  EXPECT_EQ(EvdevToDik(15), 0x0F);   // Tab
  EXPECT_EQ(EvdevToDik(103), 0xC8);  // Up
  EXPECT_EQ(EvdevToDik(108), 0xD0);  // Down
  EXPECT_EQ(EvdevToDik(96), 0x9C);   // keypad Enter
  EXPECT_EQ(EvdevToDik(84), 0);
  // X11 reports the evdev code plus 8, whatever the layout says the key is.
  EXPECT_EQ(CQtKeyFeed::KeyCodeOf(44 + 8, Qt::Key_W), 0x2C);
  EXPECT_EQ(CQtKeyFeed::KeyCodeOf(0, Qt::Key_Z), 0x2C);

  CKeyStateKeyboard keyboard;
  CQtKeyFeed feed(&keyboard);
  QWidget window;
  window.installEventFilter(&feed);
  QTest::keyPress(&window, Qt::Key_Z);
  BYTE keys[256] = {};
  keyboard.GetDeviceState(keys);
  EXPECT_NE(keys[0x2C], 0);
  feed.SetSdlWindowFocus(true);
  feed.SetApplicationActive(false);
  feed.SetSdlWindowFocus(false);
  keyboard.GetDeviceState(keys);
  EXPECT_NE(keys[0x2C], 0) << "released only once the focus has settled elsewhere";
  QTest::qWait(300);
  keyboard.GetDeviceState(keys);
  EXPECT_EQ(keys[0x2C], 0);
}
