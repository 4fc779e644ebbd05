#pragma once

#include "dialogs/TemplateDialog.h"

class CNes;
class QCheckBox;

// "General Option": switches the frame-rate text in the status bar on and
// off, for the running machine and in the settings.
class COptionsDlg : public CTemplateDialog {
 public:
  COptionsDlg(QWidget* pParent, CNes* pNes);

  void accept() override;

 private:
  QCheckBox* m_pShowFps;
  CNes* m_pNes;
};
