#pragma once

#include "dialogs/TemplateDialog.h"

// "About Tolvar": the version and the program's icon; Escape, Enter or the
// close box end it.
class CAboutDlg : public CTemplateDialog {
 public:
  explicit CAboutDlg(QWidget* pParent = nullptr);
};
