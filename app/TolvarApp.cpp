#include "app/TolvarApp.h"

#include "app/MainFrame.h"
#include "app/ResourceIds.h"
#include "app/TolvarDoc.h"
#include "app/TolvarView.h"
#include "app/Version.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/SoundDlg.h"
#include "platform/SettingsStore.h"
#include "platform/SettingsTable.h"

CTolvarApp::CTolvarApp(const SShellServices& services) : m_services(services) {}

CTolvarApp::~CTolvarApp() = default;

bool CTolvarApp::InitInstance(const QStringList& /*arguments*/) {
  // The settings store is the application's own (QSettings "Tolvar"/"Tolvar").
  ISettingsStore& settings = *m_services.pSettings;
  EnsureFirstRunSettings(settings);

  // A file named on the command line would go to the document, which reads
  // nothing: no ROM is loaded at start-up.
  m_pDoc = std::make_unique<CTolvarDoc>();
  m_pFrame = std::make_unique<CMainFrame>(m_services, this);
  CMainFrame& frame = *m_pFrame;

  const int nWidth = settings.GetInt("Settings", "ResolutionX", 256);
  const int nHeight = settings.GetInt("Settings", "ResolutionY", 240);
  // A fixed border without a maximise box.
  frame.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                       Qt::WindowCloseButtonHint);
  frame.setWindowTitle(QStringLiteral("Tolvar " TOLVAR_VERSION));
  frame.setWindowIcon(QIcon(QStringLiteral(":/tolvar.png")));
  frame.show();

  const bool bDebugPpu = settings.GetInt("Settings", "DebugPpu", 0) != 0;
  frame.SetCheck(ID_DEBUG_PPU, bDebugPpu);
  if (bDebugPpu)
    frame.ResizeMainWindow(2 * nWidth + 11, 2 * nHeight + 75);
  else
    frame.ResizeMainWindow(nWidth + 11, nHeight + 75);

  const std::string engine = settings.GetString("Settings", "GraphicEngine", "SDL");
  frame.SetCheck(engine == "SDL"       ? ID_RENDER_SDL
                 : engine == "DirectX" ? ID_RENDER_DIRECTX
                                       : ID_RENDER_NULL,
                 true);
  frame.SetCheck(settings.GetString("Settings", "CpuEngine", "C") == "C" ? ID_CPU_C : ID_CPU_ASM,
                 true);

  frame.SetItemText(ID_FILE_RECENT1, settings.GetString("MRU", "File1", ""));
  frame.SetItemText(ID_FILE_RECENT2, settings.GetString("MRU", "File2", ""));
  frame.SetItemText(ID_FILE_RECENT3, settings.GetString("MRU", "File3", ""));
  return true;
}

bool CTolvarApp::HasHandler(int nCommand) const {
  return nCommand == ID_APP_ABOUT || nCommand == ID_SETTINGS_SOUND || nCommand == ID_APP_EXIT;
}

bool CTolvarApp::OnCommand(int nCommand) {
  switch (nCommand) {
    case ID_APP_ABOUT: {
      CAboutDlg dlg(m_pFrame.get());
      dlg.exec();
      return true;
    }
    case ID_SETTINGS_SOUND: {
      CSoundDlg dlg(m_pFrame.get());
      dlg.exec();
      return true;
    }
    case ID_APP_EXIT:
      m_pFrame->close();
      return true;
    default:
      return false;
  }
}
