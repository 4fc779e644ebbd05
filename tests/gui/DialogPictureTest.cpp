// Every dialog as it looks, compared pixel for pixel with a reviewed picture
// in tests/golden/dialogs/ (taken under xvfb-run; the offscreen platform
// draws the same pixels). The pictures also hold each template's layout as
// converted from dialog units.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTreeWidget>

#include "app/ResourceIds.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/OpenRomDlg.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/RomInfoDlg.h"
#include "dialogs/SoundDlg.h"
#include "input/InputDlg.h"
#include "support/GoldenImage.h"
#include "support/NesRig.h"
#include "video/VideoDlg.h"

TEST(DialogPictures, EveryDialogMatchesItsReviewedPicture) {
  SNesRig rig;
  rig.rom.m_strFileName = "/home/player/roms/demo.nes";
  rig.rom.m_nPrgSize = 32768;
  rig.rom.m_nChrSize = 8192;
  rig.rom.m_bVertical = 1;
  // Folders named the same on every machine; the home folder is named too.
  const QString folder = "/tmp/tolvar-dialog-picture";
  QDir().mkpath(folder);
  for (const char* name : {"Robot Demo.nes", "a.nes", "B.NES", "notes.txt"})
    QFile(folder + "/" + name).open(QIODevice::WriteOnly);
  rig.settings.WriteString("Settings", "LastPath", folder.toStdString());
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", "/home/player");
  COpenRomDlg open(nullptr, &rig.settings);
  qputenv("HOME", home);
  // The home folder's own contents differ between machines.
  auto* pHome = open.ItemAs<QTreeWidget>(IDC_FOLDER_TREE)->topLevelItem(0);
  pHome->takeChildren();
  pHome->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  CAboutDlg about;
  CSoundDlg sound;
  COptionsDlg options(nullptr, rig.nes.get());
  CRomInfoDlg info(nullptr, &rig.rom);
  CVideoDlg video(nullptr, nullptr, &rig.settings, nullptr);
  CInputDlg input(nullptr, rig.nes->Input(), &rig.settings);
  const std::pair<const char*, QWidget*> dialogs[] = {
      {"about", &about}, {"sound", &sound}, {"options", &options}, {"rom_info", &info},
      {"video", &video}, {"input", &input}, {"open", &open}};
  for (const auto& [pszName, pDialog] : dialogs) {
    const QImage shot = pDialog->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SImage actual(shot.width(), shot.height());
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) actual.At(x, y) = shot.pixel(x, y) & 0xFFFFFF;
    std::string message;
    const EGoldenResult result =
        CheckGolden(std::string(TOLVAR_GOLDEN_DIR) + "/dialogs/" + pszName + ".png",
                    std::string(TOLVAR_OUTPUT_DIR) + "/golden/dialogs/" + pszName, actual, message);
    EXPECT_NE(result, EGoldenResult::kMismatch) << pszName << ": " << message;
  }
}
