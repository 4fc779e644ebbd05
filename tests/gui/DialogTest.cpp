// The dialogs driven through their widgets, with the in-memory settings
// store, a recording engine and the scripted keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/ResourceIds.h"
#include "core/Rom.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/RomInfoDlg.h"
#include "gui/ModalScript.h"
#include "input/InputDlg.h"
#include "input/KeyName.h"
#include "platform/MainWindowSizer.h"
#include "support/NesRig.h"
#include "video/NullEngine.h"
#include "video/VideoDlg.h"

namespace {
std::string Text(QWidget* pWidget) {
  if (auto* p = dynamic_cast<QLineEdit*>(pWidget)) return p->text().toStdString();
  if (auto* p = dynamic_cast<QLabel*>(pWidget)) return p->text().toStdString();
  return "";
}

std::vector<std::string> ListTexts(const QListWidget* pList) {
  std::vector<std::string> texts;
  for (int i = 0; i < pList->count(); ++i) texts.push_back(pList->item(i)->text().toStdString());
  return texts;
}

// Near the left edge, where check and radio boxes have their box.
void Click(CTemplateDialog& dlg, int nId) {
  QWidget* pWidget = dlg.Item(nId);
  QTest::mouseClick(pWidget, Qt::LeftButton, {}, QPoint(6, pWidget->height() / 2));
}

struct CRecordingSizer : IMainWindowSizer {
  void ResizeMainWindow(int w, int h) override { sizes.push_back({w, h}); }
  std::vector<std::pair<int, int>> sizes;
};
}  // namespace

// --- Open --------------------------------------------------------------------

class OpenRomDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"c.txt", "B.NES", "a.nes"}) {
      QFile file(folder.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    settings.WriteString("Settings", "LastPath", folder.path().toStdString());
  }
  QTemporaryDir folder;
  CMemorySettingsStore settings;
};

TEST_F(OpenRomDlgTest, ListsTheNesFilesOfLastPathAndRunsTheChosenOne) {
  COpenRomDlg dlg(nullptr, &settings);
  auto* pList = dlg.ItemAs<QListWidget>(IDC_ROM_LIST);
  EXPECT_EQ(ListTexts(pList), (std::vector<std::string>{"a.nes", "B.NES"}));
  EXPECT_EQ(Text(dlg.Item(IDC_DIRECTORY)), folder.path().toStdString());
  EXPECT_EQ(QDir::currentPath(), folder.path());

  const std::size_t nWrites = settings.WriteLog().size();
  const SModalOutcome outcome = RunModal(
      dlg, {[&] { Click(dlg, IDOK); },  // nothing selected: stays open, writes nothing
            [&] { EXPECT_TRUE(dlg.isVisible()); EXPECT_EQ(settings.WriteLog().size(), nWrites); },
            [&] { pList->item(1)->setSelected(true); Click(dlg, IDOK); }});
  EXPECT_FALSE(outcome.bTimedOut);
  EXPECT_EQ(outcome.nResult, QDialog::Accepted);
  EXPECT_EQ(dlg.FileName(), "B.NES");
  EXPECT_EQ(dlg.Directory(), folder.path().toStdString());
  EXPECT_EQ(settings.GetString("Settings", "LastPath", ""), folder.path().toStdString());
}

TEST_F(OpenRomDlgTest, DoubleClickChoosesAndCancelWritesNothing) {
  {
    COpenRomDlg dlg(nullptr, &settings);
    auto* pList = dlg.ItemAs<QListWidget>(IDC_ROM_LIST);
    const SModalOutcome outcome = RunModal(dlg, {[&] {
      const QRect r = pList->visualItemRect(pList->item(0));
      QTest::mousePress(pList->viewport(), Qt::LeftButton, {}, r.center());
      QTest::mouseRelease(pList->viewport(), Qt::LeftButton, {}, r.center());
      QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, r.center());
    }});
    EXPECT_EQ(outcome.nResult, QDialog::Accepted);
    EXPECT_EQ(dlg.FileName(), "a.nes");
  }
  // A folder gone, a file where a folder should be, a folder that cannot be
  // read (not for root, who reads everything): an empty list, no error.
  const QString locked = folder.filePath(QStringLiteral("locked"));
  QDir().mkpath(locked);
  QFile(locked + "/x.nes").open(QIODevice::WriteOnly);
  QFile::setPermissions(locked, QFileDevice::Permissions());
  const bool bRoot = ::geteuid() == 0;
  for (const QString& path : {QStringLiteral("/nowhere/at/all"), folder.filePath("a.nes"), locked}) {
    settings.WriteString("Settings", "LastPath", path.toStdString());
    COpenRomDlg dlg(nullptr, &settings);
    if (path != locked || !bRoot) EXPECT_EQ(dlg.ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 0);
  }
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const std::size_t nWrites = settings.WriteLog().size();
  COpenRomDlg dlg(nullptr, &settings);
  const SModalOutcome outcome = RunModal(dlg, {[&] { Click(dlg, IDCANCEL); }});
  EXPECT_EQ(outcome.nResult, QDialog::Rejected);
  EXPECT_EQ(settings.WriteLog().size(), nWrites);
}

TEST_F(OpenRomDlgTest, TreeOfHomeAndRootFilledOnceAndSelectingAFolderListsIt) {
  for (const char* stored : {"C:\\", "C:"}) {
    settings.WriteString("Settings", "LastPath", stored);
    COpenRomDlg dlg(nullptr, &settings);
    EXPECT_EQ(Text(dlg.Item(IDC_DIRECTORY)), "/") << stored;
  }
  settings.Remove("Settings", "LastPath");
  COpenRomDlg dlg(nullptr, &settings);
  EXPECT_EQ(Text(dlg.Item(IDC_DIRECTORY)), "/");

  auto* pTree = dlg.ItemAs<QTreeWidget>(IDC_FOLDER_TREE);
  ASSERT_EQ(pTree->topLevelItemCount(), 2);
  EXPECT_EQ(pTree->topLevelItem(0)->text(0), QDir::homePath());
  EXPECT_EQ(pTree->topLevelItem(1)->text(0), QStringLiteral("/"));
  EXPECT_TRUE(pTree->topLevelItem(0)->isExpanded());

  // The temporary folder's parent, reached from the root one level at a time.
  QTreeWidgetItem* pItem = pTree->topLevelItem(1);
  const QStringList parts = folder.path().split('/', Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    pItem->setExpanded(false);
    pItem->setExpanded(true);
    const int nChildren = pItem->childCount();
    pItem->setExpanded(false);
    pItem->setExpanded(true);
    ASSERT_EQ(pItem->childCount(), nChildren) << "a second expansion adds nothing";
    QTreeWidgetItem* pNext = nullptr;
    for (int i = 0; i < pItem->childCount(); ++i) {
      if (i > 0) {
        EXPECT_LE(pItem->child(i - 1)->text(0).compare(pItem->child(i)->text(0),
                                                       Qt::CaseInsensitive), 0);
      }
      if (pItem->child(i)->text(0) == part) pNext = pItem->child(i);
    }
    ASSERT_NE(pNext, nullptr) << part.toStdString();
    pItem = pNext;
  }
  pTree->setCurrentItem(pItem);
  EXPECT_EQ(Text(dlg.Item(IDC_DIRECTORY)), folder.path().toStdString());
  EXPECT_EQ(dlg.ItemAs<QListWidget>(IDC_ROM_LIST)->count(), 2);
}

// --- Video Settings ------------------------------------------------------------

TEST(VideoDlg, ShowsTheStoredModeAndSize) {
  CMemorySettingsStore settings;
  CNullEngine engine;
  for (const auto& [nWidth, bDouble] : std::vector<std::pair<int, bool>>{
           {256, false}, {512, true}, {300, true}}) {
    settings.WriteInt("Settings", "ResolutionX", nWidth);
    settings.WriteInt("Settings", "Full Screen", bDouble ? 1 : 0);
    CVideoDlg dlg(nullptr, &engine, &settings, nullptr);
    EXPECT_EQ(dlg.ItemAs<QRadioButton>(IDC_DOUBLE_SIZE)->isChecked(), bDouble) << nWidth;
    EXPECT_NE(dlg.ItemAs<QRadioButton>(IDC_NES_RESOLUTION)->isChecked(), bDouble) << nWidth;
    EXPECT_EQ(dlg.ItemAs<QRadioButton>(IDC_FULL_SCREEN)->isChecked(), bDouble);
    EXPECT_NE(dlg.ItemAs<QRadioButton>(IDC_WINDOWED)->isChecked(), bDouble);
  }
}

TEST(VideoDlg, OkStoresResizesAndRestartsTheEngineInOrder) {
  CRecordingEngine engine;
  CMemorySettingsStore settings;
  CRecordingSizer sizer;
  CVideoDlg dlg(nullptr, &engine, &settings, &sizer);
  const SModalOutcome outcome = RunModal(dlg, {[&] { Click(dlg, IDC_FULL_SCREEN); },
                                               [&] { Click(dlg, IDC_WINDOWED); },
                                               [&] { Click(dlg, IDC_DOUBLE_SIZE); },
                                               [&] { Click(dlg, IDOK); }});
  EXPECT_EQ(outcome.nResult, QDialog::Accepted);
  EXPECT_TRUE(dlg.ModeChanged()) << "back to the stored mode, the change stays marked";
  EXPECT_EQ(settings.WriteLog(), (std::vector<std::string>{"Settings/Full Screen",
                                                           "Settings/ResolutionX",
                                                           "Settings/ResolutionY"}));
  EXPECT_EQ(settings.GetInt("Settings", "Full Screen", -1), 0);
  EXPECT_EQ(settings.GetInt("Settings", "ResolutionX", 0), 512);
  EXPECT_EQ(settings.GetInt("Settings", "ResolutionY", 0), 480);
  EXPECT_EQ(sizer.sizes, (std::vector<std::pair<int, int>>{{523, 555}}));
  EXPECT_EQ(engine.m_calls, (std::vector<std::string>{"ToggleFullScreen()", "Shutdown()",
                                                      "Init()", "EndFrame()"}));
}

TEST(VideoDlg, NullEngineAndCancel) {
  CMemorySettingsStore settings;
  CRecordingSizer sizer;
  CNullEngine engine;
  {
    CVideoDlg dlg(nullptr, &engine, &settings, &sizer);
    RunModal(dlg, {[&] { Click(dlg, IDOK); }});
    EXPECT_FALSE(dlg.ModeChanged());
    EXPECT_EQ(sizer.sizes, (std::vector<std::pair<int, int>>{{267, 315}}));
    EXPECT_EQ(settings.GetInt("Settings", "ResolutionX", 0), 256);
  }
  CRecordingEngine recording;
  const std::size_t nWrites = settings.WriteLog().size();
  CVideoDlg dlg(nullptr, &recording, &settings, &sizer);
  RunModal(dlg, {[&] { Click(dlg, IDC_FULL_SCREEN); }, [&] { Click(dlg, IDCANCEL); }});
  EXPECT_EQ(settings.WriteLog().size(), nWrites);
  EXPECT_TRUE(recording.m_calls.empty());
  EXPECT_EQ(sizer.sizes.size(), 1u);
}

// --- Input Device Settings -----------------------------------------------------

namespace {
// A key going down on the keyboard device and reaching the focused widget,
// as the application's key feed delivers it; released one step later.
std::vector<std::function<void()>> KeyStroke(CKeyStateKeyboard& keyboard, int nCode, int nQtKey) {
  return {[&keyboard, nCode, nQtKey] {
            keyboard.Press(nCode);
            QTest::keyPress(QApplication::focusWidget(), static_cast<Qt::Key>(nQtKey));
          },
          [&keyboard, nCode, nQtKey] {
            keyboard.Release(nCode);
            QTest::keyRelease(QApplication::focusWidget(), static_cast<Qt::Key>(nQtKey));
          }};
}

struct SInputRig {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CInput input{&keyboard, &settings, &messages};
};
}  // namespace

TEST(InputDlg, CapturesTheEightButtonsInTabOrder) {
  SInputRig rig;
  CInputDlg dlg(nullptr, &rig.input, &rig.settings);
  EXPECT_TRUE(dlg.ItemAs<QRadioButton>(IDC_KEYBOARD)->isChecked());
  EXPECT_EQ(Text(dlg.Item(IDC_KEY_A)), "Z");
  EXPECT_EQ(Text(dlg.Item(IDC_KEY_UP)), "UP");

  // Up, Down, Left, Right, Select, Start, A, B: Tab, Escape, F1 (no name),
  // Enter, then J, K, L with two keys down at once (the lower code wins).
  struct SKey {
    int nCode;
    int nQtKey;
  };
  const SKey keys[] = {{0x0F, Qt::Key_Tab}, {0x01, Qt::Key_Escape}, {0x3B, Qt::Key_F1},
                       {0x1C, Qt::Key_Return}, {0x24, Qt::Key_J}, {0x25, Qt::Key_K},
                       {0x26, Qt::Key_L}};
  std::vector<std::function<void()>> steps = {
      [&] { dlg.activateWindow(); dlg.Item(IDC_KEY_UP)->setFocus(); }, [] {}};
  for (const SKey& k : keys)
    for (auto& step : KeyStroke(rig.keyboard, k.nCode, k.nQtKey)) steps.push_back(step);
  steps.push_back([&] { rig.keyboard.Press(0x32); rig.keyboard.Press(0x2D); });  // M and X
  steps.push_back([&] { rig.keyboard.ReleaseAll(); });
  steps.push_back([&] {
    EXPECT_EQ(QApplication::focusWidget(), dlg.Item(IDC_INPUT_OK));
    EXPECT_FALSE(dlg.IsCapturing());
  });
  steps.push_back([&] { Click(dlg, IDC_INPUT_OK); });
  const SModalOutcome outcome = RunModal(dlg, steps);
  ASSERT_FALSE(outcome.bTimedOut);
  EXPECT_EQ(outcome.nResult, QDialog::Accepted) << "Escape and Enter did not close it";

  const std::pair<int, const char*> expected[] = {
      {IDC_KEY_UP, "TAB"}, {IDC_KEY_DOWN, "?"},    {IDC_KEY_LEFT, "?"}, {IDC_KEY_RIGHT, "ENTER"},
      {IDC_KEY_SELECT, "J"}, {IDC_KEY_START, "K"}, {IDC_KEY_A, "L"},   {IDC_KEY_B, "X"}};
  for (const auto& [nId, pszName] : expected) EXPECT_EQ(Text(dlg.Item(nId)), pszName) << nId;
  const int codes[CInput::kButtonCount] = {0x26, 0x2D, 0x24, 0x25, 0x0F, 0x01, 0x3B, 0x1C};
  for (int i = 0; i < CInput::kButtonCount; ++i) {
    EXPECT_EQ(rig.input.m_keyCodes[i], codes[i]) << CInput::kButtonNames[i];
    EXPECT_EQ(rig.settings.GetInt("Input", CInput::kButtonNames[i], -1), codes[i]);
  }
  EXPECT_EQ(rig.settings.GetInt("Input", "Type", -1), 0);
}

TEST(InputDlg, CancelAndUncapturedOkStoreNothingAndTheHandlerGoes) {
  SInputRig rig;
  {
    CInputDlg dlg(nullptr, &rig.input, &rig.settings);
    std::vector<std::function<void()>> steps = {
        [&] { dlg.activateWindow(); dlg.Item(IDC_KEY_B)->setFocus(); }, [] {}};
    for (auto& step : KeyStroke(rig.keyboard, 0x10, Qt::Key_Q)) steps.push_back(step);
    steps.push_back([&] { Click(dlg, IDC_INPUT_CANCEL); });
    EXPECT_EQ(RunModal(dlg, steps).nResult, QDialog::Rejected);
    EXPECT_EQ(Text(dlg.Item(IDC_KEY_B)), "Q");
  }
  EXPECT_EQ(rig.input.m_keyCodes[CInput::kB], 46);
  EXPECT_TRUE(rig.settings.WriteLog().empty());
  rig.keyboard.Press(0x10);  // no dialog is listening any more

  CInputDlg dlg(nullptr, &rig.input, &rig.settings);
  RunModal(dlg, {[&] { Click(dlg, IDC_INPUT_OK); }});
  EXPECT_TRUE(rig.settings.WriteLog().empty());
}

TEST(InputDlg, WithoutAKeyboardDeviceNothingIsCaptured) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "Type", 1);
  CInput joystick(&rig.keyboard, &rig.settings, &rig.messages);
  CInputDlg dlg(nullptr, &joystick, &rig.settings);
  EXPECT_TRUE(dlg.ItemAs<QRadioButton>(IDC_JOYSTICK)->isChecked());
  const SModalOutcome outcome = RunModal(
      dlg, {[&] { dlg.activateWindow(); dlg.Item(IDC_KEY_UP)->setFocus(); }, [] {},
            [&] { rig.keyboard.Press(0x10); }, [&] { EXPECT_FALSE(dlg.IsCapturing()); },
            [&] { Click(dlg, IDC_INPUT_OK); }});
  EXPECT_EQ(outcome.nResult, QDialog::Accepted);
  EXPECT_EQ(Text(dlg.Item(IDC_KEY_UP)), "UP");
}

TEST(KeyName, NamesTheTableAndQuestionsTheRest) {
  EXPECT_EQ(KeyName(0x0F), "TAB");
  EXPECT_EQ(KeyName(0x52), "NUMPAD0");
  EXPECT_EQ(KeyName(0xD0), "DOWN");
  int nNamed = 0;
  for (int c = 0; c < 256; ++c) nNamed += KeyName(c) != "?";
  EXPECT_EQ(nNamed, 42);
  EXPECT_EQ(KeyName(-1), "?");
}

// --- General Option and Rom Informations ------------------------------------------

TEST(OptionsDlg, OkSetsTheMachineClearsPaneOneAndStoresCancelDoesNot) {
  SNesRig rig;
  rig.settings.WriteInt("Settings", "FPS", 1);
  rig.nes->m_bShowFps = 1;
  {
    COptionsDlg dlg(nullptr, rig.nes.get());
    EXPECT_TRUE(dlg.ItemAs<QCheckBox>(IDC_SHOW_FPS)->isChecked());
    EXPECT_FALSE(dlg.Item(IDC_VBLANK_CYCLES)->isEnabled());
    RunModal(dlg, {[&] { Click(dlg, IDC_SHOW_FPS); }, [&] { Click(dlg, IDCANCEL); }});
  }
  EXPECT_EQ(rig.nes->m_bShowFps, 1);
  EXPECT_TRUE(rig.status.m_texts.empty());
  EXPECT_EQ(rig.settings.GetInt("Settings", "FPS", -1), 1);

  COptionsDlg dlg(nullptr, rig.nes.get());
  RunModal(dlg, {[&] { Click(dlg, IDC_SHOW_FPS); }, [&] { Click(dlg, IDOK); }});
  EXPECT_EQ(rig.nes->m_bShowFps, 0);
  ASSERT_EQ(rig.status.m_texts.size(), 1u);
  EXPECT_EQ(rig.status.m_texts[0].nPane, 1);
  EXPECT_EQ(rig.status.m_texts[0].strText, "");
  EXPECT_EQ(rig.settings.GetInt("Settings", "FPS", -1), 0);
}

TEST(RomInfoDlg, ShowsTheHeaderOrThatNoRomIsLoaded) {
  CRom rom;
  rom.m_strFileName = "/roms/game.nes";
  rom.m_nMapper = 3;
  rom.m_nPrgSize = 32768;
  rom.m_nChrSize = 0;
  rom.m_bVertical = 1;
  rom.m_bFourScreen = 1;
  rom.m_bBattery = 1;
  CRomInfoDlg dlg(nullptr, &rom);
  const std::pair<int, const char*> shown[] = {
      {IDC_INFO_FILE, "/roms/game.nes"}, {IDC_INFO_MAPPER, "3"},
      {IDC_INFO_PRG, "32768"},           {IDC_INFO_CHR, "0"},
      {IDC_INFO_MIRRORING, "Four screen"}, {IDC_INFO_TRAINER, "No"},
      {IDC_INFO_BATTERY, "Yes"}};
  for (const auto& [nId, pszText] : shown) EXPECT_EQ(Text(dlg.Item(nId)), pszText) << nId;
  // No buttons: Enter ends it.
  EXPECT_EQ(RunModal(dlg, {[&] { QTest::keyClick(&dlg, Qt::Key_Return); }}).nResult,
            QDialog::Accepted);

  CRomInfoDlg none(nullptr, nullptr);
  EXPECT_EQ(Text(none.Item(IDC_INFO_FILE)), "No Rom Loaded...");
  for (int nId = IDC_INFO_MAPPER; nId <= IDC_INFO_BATTERY; ++nId)
    EXPECT_EQ(Text(none.Item(nId)), "") << nId;
}
