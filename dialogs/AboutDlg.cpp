#include "dialogs/AboutDlg.h"

#include "app/ResourceIds.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : CTemplateDialog(IDD_ABOUTBOX, pParent) {}
