#include "video/VideoDlg.h"

#include <QRadioButton>

#include "app/ResourceIds.h"
#include "platform/MainWindowSizer.h"
#include "platform/SettingsStore.h"
#include "video/GraphicEngine.h"

namespace {
constexpr int kNoModeChange = -1;
}

CVideoDlg::CVideoDlg(QWidget* pParent, CGraphicEngine* pEngine, ISettingsStore* pSettings,
                     IMainWindowSizer* pSizer)
    : CTemplateDialog(IDD_VIDEO, pParent),
      m_pEngine(pEngine),
      m_pSettings(pSettings),
      m_pSizer(pSizer),
      m_pFullScreen(ItemAs<QRadioButton>(IDC_FULL_SCREEN)),
      m_pWindowed(ItemAs<QRadioButton>(IDC_WINDOWED)),
      m_pNesResolution(ItemAs<QRadioButton>(IDC_NES_RESOLUTION)),
      m_pDoubleSize(ItemAs<QRadioButton>(IDC_DOUBLE_SIZE)) {
  m_bWasFullScreen = m_pSettings && m_pSettings->GetInt("Settings", "Full Screen", 0) != 0;
  (m_bWasFullScreen ? m_pFullScreen : m_pWindowed)->setChecked(true);
  const int nWidth = m_pSettings ? m_pSettings->GetInt("Settings", "ResolutionX", 256) : 256;
  (nWidth == 256 ? m_pNesResolution : m_pDoubleSize)->setChecked(true);

  // Choosing the mode other than the stored one marks a change that stays
  // marked, even if the stored mode is chosen again.
  Pair(m_pFullScreen, m_pWindowed, 0);
  Pair(m_pWindowed, m_pFullScreen, 1);
  Pair(m_pNesResolution, m_pDoubleSize, kNoModeChange);
  Pair(m_pDoubleSize, m_pNesResolution, kNoModeChange);
}

void CVideoDlg::Pair(QRadioButton* pButton, QRadioButton* pPartner, int nModeChangesWhenWas) {
  connect(pButton, &QRadioButton::clicked, this, [=, this] {
    pButton->setChecked(true);
    pPartner->setChecked(false);
    if (nModeChangesWhenWas != kNoModeChange && m_bWasFullScreen == (nModeChangesWhenWas != 0))
      m_bModeChanged = true;
  });
}

void CVideoDlg::accept() {
  const bool bDouble = m_pDoubleSize->isChecked();
  if (m_pSettings)
    m_pSettings->WriteInt("Settings", "Full Screen", m_pFullScreen->isChecked() ? 1 : 0);
  if (m_bModeChanged && m_pEngine) m_pEngine->ToggleFullScreen();
  if (m_pSettings) {
    m_pSettings->WriteInt("Settings", "ResolutionX", bDouble ? 512 : 256);
    m_pSettings->WriteInt("Settings", "ResolutionY", bDouble ? 480 : 240);
  }
  if (m_pSizer) m_pSizer->ResizeMainWindow(bDouble ? 523 : 267, bDouble ? 555 : 315);
  if (m_pEngine) {
    m_pEngine->Shutdown();
    m_pEngine->Init();
    m_pEngine->EndFrame();
  }
  CTemplateDialog::accept();
}
