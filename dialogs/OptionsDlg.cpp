#include "dialogs/OptionsDlg.h"

#include <QCheckBox>

#include "app/ResourceIds.h"
#include "core/Nes.h"
#include "platform/Host.h"
#include "platform/SettingsStore.h"

COptionsDlg::COptionsDlg(QWidget* pParent, CNes* pNes)
    : CTemplateDialog(IDD_OPTIONS, pParent),
      m_pShowFps(ItemAs<QCheckBox>(IDC_SHOW_FPS)),
      m_pNes(pNes) {
  ISettingsStore* pSettings = m_pNes->Platform().pSettings;
  m_pShowFps->setChecked(pSettings && pSettings->GetInt("Settings", "FPS", 0) != 0);
}

void COptionsDlg::accept() {
  const int nState = m_pShowFps->isChecked() ? 1 : 0;
  m_pNes->m_bShowFps = nState ? 1 : 0;
  // The old rate would stay up even with the display turned off.
  if (IStatusText* pStatus = m_pNes->Platform().pStatusText) pStatus->SetPaneText(1, "");
  if (ISettingsStore* pSettings = m_pNes->Platform().pSettings)
    pSettings->WriteInt("Settings", "FPS", nState);
  CTemplateDialog::accept();
}
