// The dialogs driven through their widgets, with the in-memory settings
// store, a recording engine and the scripted keyboard. How they look is in
// DialogPictureTest.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/ResourceIds.h"
#include "core/Rom.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/RomInfoDlg.h"
#include "gui/StepScript.h"
#include "input/InputDlg.h"
#include "platform/MainWindowSizer.h"
#include "support/NesRig.h"
#include "video/NullEngine.h"
#include "video/VideoDlg.h"

namespace {
std::string Text(QWidget* p) {
  if (auto* edit = dynamic_cast<QLineEdit*>(p)) return edit->text().toStdString();
  return dynamic_cast<QLabel*>(p)->text().toStdString();
}

// The texts of a run of items, each followed by '|'.
std::string Texts(CTemplateDialog& dlg, std::initializer_list<int> ids) {
  std::string s;
  for (int nId : ids) s += Text(dlg.Item(nId)) + "|";
  return s;
}

// Near the left edge, where check and radio boxes have their box.
void Click(CTemplateDialog& dlg, int nId) {
  QWidget* p = dlg.Item(nId);
  QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(6, p->height() / 2));
}

// Root reads every folder whatever its permissions; without these two
// capabilities (of this thread, where the browser lists folders) it is held
// to them like anyone else. Puts back what was there when it goes.
class CFolderPermissionsApply {
 public:
  CFolderPermissionsApply() {
    if (syscall(SYS_capget, &m_header, m_saved) != 0) return;
    __user_cap_data_struct dropped[2] = {m_saved[0], m_saved[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
      dropped[cap / 32].effective &= ~(1u << (cap % 32));
    m_bDropped = syscall(SYS_capset, &m_header, dropped) == 0;
  }
  ~CFolderPermissionsApply() {
    if (m_bDropped) syscall(SYS_capset, &m_header, m_saved);
  }

 private:
  __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct m_saved[2] = {};
  bool m_bDropped = false;
};

struct CRecordingSizer : IMainWindowSizer {
  void ResizeMainWindow(int w, int h) override { sizes.push_back({w, h}); }
  std::vector<std::pair<int, int>> sizes;
};
}  // namespace

TEST(OpenRomDlg, ListsSortedIgnoringCaseRemembersTheFolderAndListsNothingWhereItCannot) {
  QTemporaryDir folder;
  for (const char* name : {"c.txt", "B.NES", "a.nes"})
    QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
  CMemorySettingsStore settings;
  settings.WriteString("Settings", "LastPath", folder.path().toStdString());
  COpenRomDlg dlg(nullptr, &settings);
  auto* pList = dlg.ItemAs<QListWidget>(IDC_ROM_LIST);
  ASSERT_EQ(pList->count(), 2);
  EXPECT_EQ(pList->item(0)->text(), "a.nes");
  EXPECT_EQ(pList->item(1)->text(), "B.NES");
  EXPECT_EQ(QDir::currentPath(), folder.path());
  settings.WriteString("Settings", "LastPath", "elsewhere");
  const SModalOutcome outcome =
      RunModal(dlg, {[&] {
                 const QPoint at = pList->visualItemRect(pList->item(1)).center();
                 QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, at);
                 QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, at);
               }});
  EXPECT_EQ(outcome.nResult, QDialog::Accepted);
  EXPECT_EQ(dlg.Directory() + "/" + dlg.FileName(), folder.filePath("B.NES").toStdString());
  EXPECT_EQ(settings.GetString("Settings", "LastPath", ""), folder.path().toStdString());

  // The tree: home and root on top; a folder is filled when first opened,
  // once, sorted ignoring case; selecting one lists its images.
  COpenRomDlg browser(nullptr, nullptr);
  auto* pTree = browser.ItemAs<QTreeWidget>(IDC_FOLDER_TREE);
  ASSERT_EQ(pTree->topLevelItemCount(), 2);
  EXPECT_EQ(pTree->topLevelItem(0)->text(0), QDir::homePath());
  QTreeWidgetItem* pItem = pTree->topLevelItem(1);
  for (const QString& part : folder.path().split('/', Qt::SkipEmptyParts)) {
    for (bool bOpen : {true, false, true}) pItem->setExpanded(bOpen);
    QStringList names, sorted;
    for (int i = 0; i < pItem->childCount(); ++i) names << pItem->child(i)->text(0);
    sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);
    ASSERT_EQ(names.count(part), 1) << part.toStdString();
    pItem = pItem->child(static_cast<int>(names.indexOf(part)));
  }
  pTree->setCurrentItem(pItem);
  EXPECT_EQ(browser.ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 2);

  // Gone, a file, unreadable, the first-run "C:\": an empty list or the
  // root's, no error.
  const QString locked = folder.filePath("locked");
  QDir().mkpath(locked);
  QFile(locked + "/x.nes").open(QIODevice::WriteOnly);
  QFile::setPermissions(locked, QFileDevice::Permissions());
  for (const QString& path :
       {QString("/nowhere"), folder.filePath("a.nes"), locked, QString("C:\\")}) {
    settings.WriteString("Settings", "LastPath", path.toStdString());
    const CFolderPermissionsApply permissions;
    COpenRomDlg other(nullptr, &settings);
    if (path == "C:\\")
      EXPECT_EQ(Text(other.Item(IDC_DIRECTORY)), "/");
    else
      EXPECT_EQ(other.ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 0) << path.toStdString();
  }
  QFile::setPermissions(locked,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(VideoDlg, ShowsTheStoredSettingsAndOkStoresResizesAndRestartsTheEngine) {
  CMemorySettingsStore settings;
  CNullEngine null;
  for (const auto& [nWidth, bDouble] : {std::pair{256, false}, {512, true}, {300, true}}) {
    settings.WriteInt("Settings", "ResolutionX", nWidth);
    settings.WriteInt("Settings", "Full Screen", bDouble);
    CVideoDlg dlg(nullptr, &null, &settings, nullptr);
    EXPECT_EQ(dlg.ItemAs<QRadioButton>(IDC_DOUBLE_SIZE)->isChecked(), bDouble) << nWidth;
    EXPECT_EQ(dlg.ItemAs<QRadioButton>(IDC_FULL_SCREEN)->isChecked(), bDouble);
  }
  settings.WriteInt("Settings", "Full Screen", 0);
  CRecordingEngine engine;
  CRecordingSizer sizer;
  {
    CVideoDlg dlg(nullptr, &engine, &settings, &sizer);
    RunModal(dlg, {[&] { Click(dlg, IDC_FULL_SCREEN); }, [&] { Click(dlg, IDC_WINDOWED); },
                   [&] { Click(dlg, IDC_NES_RESOLUTION); }, [&] { Click(dlg, IDOK); }});
    EXPECT_TRUE(dlg.ModeChanged()) << "back to the stored mode, the change stays marked";
  }
  EXPECT_EQ(settings.GetInt("Settings", "Full Screen", -1), 0);
  EXPECT_EQ(settings.GetInt("Settings", "ResolutionY", 0), 240);
  EXPECT_EQ(engine.m_calls,
            (std::vector<std::string>{"ToggleFullScreen()", "Shutdown()", "Init()", "EndFrame()"}));
  {
    CVideoDlg dlg(nullptr, &null, &settings, &sizer);
    RunModal(dlg, {[&] { Click(dlg, IDC_WINDOWED); }, [&] { Click(dlg, IDC_DOUBLE_SIZE); },
                   [&] { Click(dlg, IDOK); }});
    EXPECT_FALSE(dlg.ModeChanged()) << "the stored mode chosen again is no change";
  }
  EXPECT_EQ(sizer.sizes, (std::vector<std::pair<int, int>>{{267, 315}, {523, 555}}));
  EXPECT_EQ(settings.GetInt("Settings", "ResolutionX", 0), 512);
  const std::size_t nWrites = settings.WriteLog().size();
  CVideoDlg cancelled(nullptr, &engine, &settings, &sizer);
  RunModal(cancelled,
           {[&] { Click(cancelled, IDC_FULL_SCREEN); }, [&] { Click(cancelled, IDCANCEL); }});
  EXPECT_EQ(settings.WriteLog().size(), nWrites);
  EXPECT_EQ(engine.m_calls.size(), 4u);
}

namespace {
// The dialog active with the focus on one key box, then a turn to settle.
Steps FocusOn(CInputDlg& dlg, int nId) {
  return {[&dlg, nId] {
            dlg.activateWindow();
            dlg.Item(nId)->setFocus();
          },
          [] {}};
}

// A key going down on the keyboard device and reaching the focused widget,
// as the application's key feed delivers it; released one step later.
void AddKeyStroke(Steps& steps, CKeyStateKeyboard& kb, int nCode, Qt::Key key) {
  steps.push_back([&kb, nCode, key] {
    kb.Press(nCode);
    QTest::keyPress(QApplication::focusWidget(), key);
  });
  steps.push_back([&kb, nCode, key] {
    kb.Release(nCode);
    QTest::keyRelease(QApplication::focusWidget(), key);
  });
}
}  // namespace

TEST(InputDlg, CapturesInTabOrderTabEscapeAndEnterIncludedCancelAndNoKeyboardStoreNothing) {
  SNesRig rig;
  CInput& input = *rig.nes->Input();
  const std::size_t nFirstRunWrites = rig.settings.WriteLog().size();
  {
    CInputDlg dlg(nullptr, &input, &rig.settings);
    Steps steps = FocusOn(dlg, IDC_KEY_B);
    AddKeyStroke(steps, rig.keyboard, 0x10, Qt::Key_Q);
    steps.push_back([&] { Click(dlg, IDC_INPUT_CANCEL); });
    EXPECT_EQ(RunModal(dlg, steps).nResult, QDialog::Rejected);
  }
  EXPECT_EQ(input.m_keyCodes[CInput::kB], 46);
  EXPECT_EQ(rig.settings.WriteLog().size(), nFirstRunWrites);
  rig.keyboard.Press(0x10);  // no dialog is listening any more
  rig.keyboard.Release(0x10);

  CInputDlg dlg(nullptr, &input, &rig.settings);
  Steps steps = FocusOn(dlg, IDC_KEY_UP);
  const std::pair<int, Qt::Key> keys[] = {
      {0x0F, Qt::Key_Tab}, {0x01, Qt::Key_Escape}, {0x3B, Qt::Key_F1}, {0x1C, Qt::Key_Return},
      {0x24, Qt::Key_J},   {0x25, Qt::Key_K},      {0x26, Qt::Key_L}};
  for (const auto& [nCode, key] : keys) AddKeyStroke(steps, rig.keyboard, nCode, key);
  steps.push_back([&] {
    rig.keyboard.Press(0x32);
    rig.keyboard.Press(0x2D);
  });  // M and X: the lower wins
  steps.push_back([&] { rig.keyboard.ReleaseAll(); });
  steps.push_back([&] { EXPECT_EQ(QApplication::focusWidget(), dlg.Item(IDC_INPUT_OK)); });
  steps.push_back([&] { Click(dlg, IDC_INPUT_OK); });
  const SModalOutcome outcome = RunModal(dlg, steps);
  ASSERT_FALSE(outcome.bTimedOut);
  EXPECT_EQ(outcome.nResult, QDialog::Accepted) << "Escape and Enter did not close it";
  EXPECT_EQ(Texts(dlg, {IDC_KEY_UP, IDC_KEY_DOWN, IDC_KEY_LEFT, IDC_KEY_RIGHT, IDC_KEY_B}),
            "TAB|?|?|ENTER|X|");
  const int codes[CInput::kButtonCount] = {0x26, 0x2D, 0x24, 0x25, 0x0F, 0x01, 0x3B, 0x1C};
  for (int i = 0; i < CInput::kButtonCount; ++i) {
    EXPECT_EQ(input.m_keyCodes[i], codes[i]) << CInput::kButtonNames[i];
    EXPECT_EQ(rig.settings.GetInt("Input", CInput::kButtonNames[i], -1), codes[i]);
  }

  // With the joystick chosen no key is captured and OK stores nothing.
  rig.settings.WriteInt("Input", "Type", 1);
  CInput joystick(&rig.keyboard, &rig.settings, &rig.messages);
  CInputDlg joystickDlg(nullptr, &joystick, &rig.settings);
  EXPECT_TRUE(joystickDlg.ItemAs<QRadioButton>(IDC_JOYSTICK)->isChecked());
  const std::size_t nWrites = rig.settings.WriteLog().size();
  steps = FocusOn(joystickDlg, IDC_KEY_UP);
  steps.push_back([&] { rig.keyboard.Press(0x11); });
  steps.push_back([&] { Click(joystickDlg, IDC_INPUT_OK); });
  RunModal(joystickDlg, steps);
  EXPECT_EQ(Text(joystickDlg.Item(IDC_KEY_UP)), "TAB");
  EXPECT_EQ(rig.settings.WriteLog().size(), nWrites);
}

TEST(SmallDialogs, OptionsSetsTheMachineClearsPaneOneAndStoresAndRomInfoShowsTheHeader) {
  SNesRig rig;
  rig.settings.WriteInt("Settings", "FPS", 1);
  rig.nes->m_bShowFps = 1;
  for (int nButton : {IDCANCEL, IDOK}) {
    COptionsDlg dlg(nullptr, rig.nes.get());
    EXPECT_TRUE(dlg.ItemAs<QCheckBox>(IDC_SHOW_FPS)->isChecked());
    RunModal(dlg, {[&] { Click(dlg, IDC_SHOW_FPS); }, [&] { Click(dlg, nButton); }});
  }
  EXPECT_EQ(rig.nes->m_bShowFps, 0);
  ASSERT_EQ(rig.status.m_texts.size(), 1u) << "Cancel left the pane alone";
  EXPECT_EQ(rig.status.m_texts[0].nPane, 1);
  EXPECT_EQ(rig.status.m_texts[0].strText, "");
  EXPECT_EQ(rig.settings.GetInt("Settings", "FPS", -1), 0);

  CRom rom;
  rom.m_strFileName = "/roms/game.nes";
  rom.m_nMapper = 3;
  rom.m_nPrgSize = 32768;
  rom.m_bVertical = rom.m_bFourScreen = rom.m_bBattery = 1;
  CRomInfoDlg dlg(nullptr, &rom), none(nullptr, nullptr);
  const std::initializer_list<int> ids = {IDC_INFO_FILE,   IDC_INFO_MAPPER,    IDC_INFO_PRG,
                                          IDC_INFO_CHR,    IDC_INFO_MIRRORING, IDC_INFO_TRAINER,
                                          IDC_INFO_BATTERY};
  EXPECT_EQ(Texts(dlg, ids), "/roms/game.nes|3|32768|0|Four screen|No|Yes|");
  EXPECT_EQ(Texts(none, ids), "No Rom Loaded...|||||||");
}
