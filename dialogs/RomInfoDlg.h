#pragma once

#include "dialogs/TemplateDialog.h"

class CRom;

// "Rom Informations": what the loaded image's header says, or "No Rom
// Loaded..." without one. Nothing can be changed.
class CRomInfoDlg : public CTemplateDialog {
 public:
  CRomInfoDlg(QWidget* pParent, const CRom* pRom);
};
