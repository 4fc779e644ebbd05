#include "dialogs/SoundDlg.h"

#include "app/ResourceIds.h"

CSoundDlg::CSoundDlg(QWidget* pParent) : CTemplateDialog(IDD_SOUND, pParent) {}
