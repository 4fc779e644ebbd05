// Every dialog as it looks, compared pixel for pixel with a reviewed picture
// in tests/golden/dialogs/ (taken under xvfb-run; the offscreen platform
// draws the same pixels), and one template's layout against the unit
// conversion.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/DialogResources.h"
#include "app/ResourceIds.h"
#include "core/Rom.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/RomInfoDlg.h"
#include "dialogs/SoundDlg.h"
#include "input/InputDlg.h"
#include "support/GoldenImage.h"
#include "support/NesRig.h"
#include "video/NullEngine.h"
#include "video/VideoDlg.h"

namespace {
SImage ToImage(const QImage& source) {
  const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
  SImage image(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) image.At(x, y) = rgb.pixel(x, y) & 0xFFFFFF;
  return image;
}

struct SDialogCase {
  const char* pszName;
  std::function<std::unique_ptr<CTemplateDialog>(SNesRig&)> make;
};

void PrintTo(const SDialogCase& c, std::ostream* pOut) { *pOut << c.pszName; }

CRom ExampleRom() {
  CRom rom;
  rom.m_strFileName = "/home/player/roms/demo.nes";
  rom.m_nPrgSize = 32768;
  rom.m_nChrSize = 8192;
  rom.m_bVertical = 1;
  return rom;
}

const SDialogCase kCases[] = {
    {"about", [](SNesRig&) { return std::make_unique<CAboutDlg>(); }},
    {"sound", [](SNesRig&) { return std::make_unique<CSoundDlg>(); }},
    {"options", [](SNesRig& rig) { return std::make_unique<COptionsDlg>(nullptr, rig.nes.get()); }},
    {"rom_info",
     [](SNesRig&) {
       static const CRom rom = ExampleRom();
       return std::make_unique<CRomInfoDlg>(nullptr, &rom);
     }},
    {"video",
     [](SNesRig& rig) {
       static CNullEngine engine;
       return std::make_unique<CVideoDlg>(nullptr, &engine, &rig.settings, nullptr);
     }},
    {"input",
     [](SNesRig& rig) {
       return std::make_unique<CInputDlg>(nullptr, rig.nes->Input(), &rig.settings);
     }},
    {"open",
     [](SNesRig& rig) {
       // Folders named the same on every machine: the tree's first item is
       // the home folder, which is not, so it is named here.
       const QString folder = QStringLiteral("/tmp/tolvar-dialog-picture");
       QDir().mkpath(folder);
       for (const char* name : {"Robot Demo.nes", "a.nes", "B.NES", "notes.txt"})
         QFile(folder + "/" + name).open(QIODevice::WriteOnly);
       qputenv("HOME", "/home/player");
       rig.settings.WriteString("Settings", "LastPath", folder.toStdString());
       auto pDlg = std::make_unique<COpenRomDlg>(nullptr, &rig.settings);
       auto* pTree = pDlg->ItemAs<QTreeWidget>(IDC_FOLDER_TREE);
       pTree->topLevelItem(0)->takeChildren();
       pTree->topLevelItem(0)->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
       return pDlg;
     }},
};

class DialogPicture : public ::testing::TestWithParam<SDialogCase> {};

TEST_P(DialogPicture, MatchesReviewedPicture) {
  SNesRig rig;
  const QByteArray home = qgetenv("HOME");
  std::unique_ptr<CTemplateDialog> pDlg = GetParam().make(rig);
  qputenv("HOME", home);
  const SImage actual = ToImage(pDlg->grab().toImage());
  const std::string name = GetParam().pszName;
  std::string message;
  const EGoldenResult result =
      CheckGolden(std::string(TOLVAR_GOLDEN_DIR) + "/dialogs/" + name + ".png",
                  std::string(TOLVAR_OUTPUT_DIR) + "/golden/dialogs/" + name, actual, message);
  if (result == EGoldenResult::kWritten) GTEST_SKIP() << message;
  EXPECT_EQ(result, EGoldenResult::kMatch) << name << ": " << message;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogPicture, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.pszName); });
}  // namespace

TEST(DialogLayout, TemplateUnitsBecomePixelsByTheFontMetrics) {
  // A horizontal unit is a quarter of the average character width (whole
  // pixels), a vertical one an eighth of the character height.
  const QFontMetrics metrics(DialogFont());
  const int nCharWidth = qRound(
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
      52.0);
  const int nCharHeight = metrics.height();
  ASSERT_GT(nCharWidth, 3);
  auto x = [&](int units) { return qRound(units * nCharWidth / 4.0); };
  auto y = [&](int units) { return qRound(units * nCharHeight / 8.0); };

  COpenRomDlg dlg(nullptr, nullptr);
  EXPECT_EQ(dlg.size(), QSize(x(353), y(225)));
  EXPECT_EQ(dlg.Item(IDOK)->geometry(), QRect(x(230), y(203), x(50), y(14)));
  EXPECT_EQ(dlg.Item(IDC_FOLDER_TREE)->geometry(), QRect(x(7), y(25), x(166), y(192)));
  EXPECT_TRUE(dynamic_cast<QPushButton*>(dlg.Item(IDOK))->isDefault());
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Open"));
  EXPECT_EQ(FindDialogTemplate(12345), nullptr);
}
