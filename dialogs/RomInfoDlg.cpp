#include "dialogs/RomInfoDlg.h"

#include <QLabel>

#include "app/ResourceIds.h"
#include "core/Rom.h"

CRomInfoDlg::CRomInfoDlg(QWidget* pParent, const CRom* pRom)
    : CTemplateDialog(IDD_ROM_INFO, pParent) {
  auto set = [this](int nId, const QString& text) { ItemAs<QLabel>(nId)->setText(text); };
  if (!pRom) {
    set(IDC_INFO_FILE, QStringLiteral("No Rom Loaded..."));
    return;
  }
  auto yesNo = [](BYTE b) { return b ? QStringLiteral("Yes") : QStringLiteral("No"); };
  set(IDC_INFO_FILE, QString::fromStdString(pRom->m_strFileName));
  set(IDC_INFO_MAPPER, QString::number(pRom->m_nMapper));
  set(IDC_INFO_CHR, QString::number(pRom->m_nChrSize));
  set(IDC_INFO_PRG, QString::number(pRom->m_nPrgSize));
  set(IDC_INFO_BATTERY, yesNo(pRom->m_bBattery));
  set(IDC_INFO_MIRRORING, pRom->m_bFourScreen ? QStringLiteral("Four screen")
                          : pRom->m_bVertical ? QStringLiteral("Vertical")
                                              : QStringLiteral("Horizontal"));
  set(IDC_INFO_TRAINER, yesNo(pRom->m_bTrainer));
}
