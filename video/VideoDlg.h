#pragma once

#include "dialogs/TemplateDialog.h"

class CGraphicEngine;
class ISettingsStore;
class IMainWindowSizer;
class QRadioButton;

// "Video Settings": the screen mode and the picture size. OK stores them,
// resizes the main window and restarts the current engine with them.
class CVideoDlg : public CTemplateDialog {
 public:
  CVideoDlg(QWidget* pParent, CGraphicEngine* pEngine, ISettingsStore* pSettings,
            IMainWindowSizer* pSizer);

  void accept() override;
  bool ModeChanged() const { return m_bModeChanged; }

 private:
  void Pair(QRadioButton* pButton, QRadioButton* pPartner, int nModeChangesWhenWas);

  CGraphicEngine* m_pEngine;
  ISettingsStore* m_pSettings;
  IMainWindowSizer* m_pSizer;
  bool m_bModeChanged = false;
  bool m_bWasFullScreen = false;
  QRadioButton* m_pFullScreen;
  QRadioButton* m_pWindowed;
  QRadioButton* m_pNesResolution;
  QRadioButton* m_pDoubleSize;
};
