// The dialogs driven through their widgets, with the in-memory settings
// store, a recording engine and the scripted keyboard. How they look is in
// DialogPictureTest.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/ResourceIds.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "gui/StepScript.h"
#include "input/InputDlg.h"
#include "platform/MainWindowSizer.h"
#include "support/NesRig.h"
#include "video/VideoDlg.h"

namespace {
// Near the left edge, where check and radio boxes have their box.
void Click(CTemplateDialog& dlg, int nId) {
  QWidget* p = dlg.Item(nId);
  QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(6, p->height() / 2));
}

// Root reads every folder whatever its permissions; without these two
// capabilities (of this thread, where the browser lists folders) it is held
// to them like anyone else while f runs.
void WithoutPermissionOverride(const std::function<void()>& f) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved[2] = {};
  const bool bSaved = syscall(SYS_capget, &header, saved) == 0;
  __user_cap_data_struct dropped[2] = {saved[0], saved[1]};
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
    dropped[cap / 32].effective &= ~(1u << (cap % 32));
  const bool bDropped = bSaved && syscall(SYS_capset, &header, dropped) == 0;
  f();
  if (bDropped) syscall(SYS_capset, &header, saved);
}

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
  settings.WriteString("Settings", "LastPath", "elsewhere");
  EXPECT_EQ(RunModal(dlg, {[&] {
                       const QPoint at = pList->visualItemRect(pList->item(1)).center();
                       QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, at);
                       QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, at);
                     }}),
            QDialog::Accepted);
  EXPECT_EQ(dlg.Directory() + "/" + dlg.FileName(), folder.filePath("B.NES").toStdString());
  EXPECT_EQ(settings.GetString("Settings", "LastPath", ""), folder.path().toStdString());

  // The tree from the root down: a folder is filled when first opened, once;
  // selecting one lists its images.
  COpenRomDlg browser(nullptr, nullptr);
  auto* pTree = browser.ItemAs<QTreeWidget>(IDC_FOLDER_TREE);
  QTreeWidgetItem* pItem = pTree->topLevelItem(1);
  for (const QString& part : folder.path().split('/', Qt::SkipEmptyParts)) {
    for (bool bOpen : {true, false, true}) pItem->setExpanded(bOpen);
    const auto found = pTree->findItems(part, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << part.toStdString();
    pItem = found[0];
  }
  pTree->setCurrentItem(pItem);
  EXPECT_EQ(browser.ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 2);

  // An unreadable folder lists nothing, and no error.
  const QString locked = folder.filePath("locked");
  QDir().mkpath(locked);
  QFile(locked + "/x.nes").open(QIODevice::WriteOnly);
  QFile::setPermissions(locked, QFileDevice::Permissions());
  settings.WriteString("Settings", "LastPath", locked.toStdString());
  WithoutPermissionOverride([&] {
    EXPECT_EQ(COpenRomDlg(nullptr, &settings).ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 0);
  });
  QFile::setPermissions(locked,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(VideoDlg, ShowsTheStoredSettingsAndOkStoresResizesAndRestartsTheEngine) {
  CMemorySettingsStore settings;
  settings.WriteInt("Settings", "ResolutionX", 512);
  settings.WriteInt("Settings", "Full Screen", 1);
  CRecordingEngine engine;
  CRecordingSizer sizer;
  {
    CVideoDlg dlg(nullptr, &engine, &settings, &sizer);
    EXPECT_TRUE(dlg.ItemAs<QRadioButton>(IDC_DOUBLE_SIZE)->isChecked() &&
                dlg.ItemAs<QRadioButton>(IDC_FULL_SCREEN)->isChecked());
    RunModal(dlg, {[&] { Click(dlg, IDC_WINDOWED); }, [&] { Click(dlg, IDC_FULL_SCREEN); },
                   [&] { Click(dlg, IDC_NES_RESOLUTION); }, [&] { Click(dlg, IDOK); }});
    EXPECT_TRUE(dlg.ModeChanged()) << "back to the stored mode, the change stays marked";
  }
  EXPECT_EQ(engine.m_calls,
            (std::vector<std::string>{"ToggleFullScreen()", "Shutdown()", "Init()", "EndFrame()"}));
  {
    CVideoDlg dlg(nullptr, nullptr, &settings, &sizer);
    RunModal(dlg, {[&] { Click(dlg, IDC_FULL_SCREEN); }, [&] { Click(dlg, IDC_DOUBLE_SIZE); },
                   [&] { Click(dlg, IDOK); }});
    EXPECT_FALSE(dlg.ModeChanged()) << "the stored mode chosen again is no change";
  }
  EXPECT_EQ(sizer.sizes, (std::vector<std::pair<int, int>>{{267, 315}, {523, 555}}));
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

TEST(InputDlg, CapturesInTabOrderTabEscapeAndEnterIncludedAndCancelStoresNothing) {
  SNesRig rig;
  CInput& input = *rig.nes->Input();
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
  steps.push_back([&] { Click(dlg, IDC_INPUT_OK); });
  EXPECT_EQ(RunModal(dlg, steps), QDialog::Accepted) << "Escape and Enter did not close it";
  EXPECT_EQ(dlg.ItemAs<QLineEdit>(IDC_KEY_UP)->text(), "TAB");
  const int codes[CInput::kButtonCount] = {0x26, 0x2D, 0x24, 0x25, 0x0F, 0x01, 0x3B, 0x1C};
  for (int i = 0; i < CInput::kButtonCount; ++i)
    EXPECT_EQ(rig.settings.GetInt("Input", CInput::kButtonNames[i], -1), codes[i]) << i;

  const std::size_t nWrites = rig.settings.WriteLog().size();
  CInputDlg cancelled(nullptr, &input, &rig.settings);
  steps = FocusOn(cancelled, IDC_KEY_B);
  AddKeyStroke(steps, rig.keyboard, 0x10, Qt::Key_Q);
  steps.push_back([&] { Click(cancelled, IDC_INPUT_CANCEL); });
  RunModal(cancelled, steps);
  EXPECT_EQ(input.m_keyCodes[CInput::kB], 0x2D);
  EXPECT_EQ(rig.settings.WriteLog().size(), nWrites);
  rig.keyboard.Press(0x10);  // the closed dialog listens no more
}

TEST(OptionsDlg, OkSetsTheMachineClearsPaneOneAndStoresCancelDoesNothing) {
  SNesRig rig;
  rig.settings.WriteInt("Settings", "FPS", 1);
  rig.nes->m_bShowFps = 1;
  for (int nButton : {IDCANCEL, IDOK}) {
    COptionsDlg dlg(nullptr, rig.nes.get());
    RunModal(dlg, {[&] { Click(dlg, IDC_SHOW_FPS); }, [&] { Click(dlg, nButton); }});
  }
  EXPECT_EQ(rig.nes->m_bShowFps, 0);
  ASSERT_EQ(rig.status.m_texts.size(), 1u) << "Cancel left the pane alone";
  EXPECT_EQ(rig.status.m_texts[0].nPane, 1);
  EXPECT_EQ(rig.settings.GetInt("Settings", "FPS", -1), 0);
}
