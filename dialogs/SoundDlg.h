#pragma once

#include "dialogs/TemplateDialog.h"

// "Sound Settings": sound is not emulated, so its one check box is disabled
// and nothing is stored.
class CSoundDlg : public CTemplateDialog {
 public:
  explicit CSoundDlg(QWidget* pParent = nullptr);
};
