// tolvar: the desktop program.
#include <QApplication>
#include <QTimer>
#include <QWindow>

#include "app/MainFrame.h"
#include "app/TolvarApp.h"
#include "dialogs/TemplateDialog.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/QtKeyFeed.h"
#include "platform/QtMessageBox.h"
#include "platform/QtSettingsStore.h"
#include "platform/SdlTicks.h"
#include "app/SanitizerDefaults.h"

namespace {
constexpr int kSettingsReportPollMs = 20;
}

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The menus and the status bar use the dialogs' font, so the menu bar
  // fits the window's width as the dialogs fit their templates.
  QApplication::setFont(DialogFont());
  CQtSettingsStore settings;
  CKeyStateKeyboard keyboard;
  CSdlTicks ticks;
  CTolvarApp* pApp = nullptr;
  CQtMessageBox messages(
      [&pApp]() -> QWidget* { return pApp ? pApp->MainFrame() : nullptr; });
  CQtKeyFeed keyFeed(&keyboard);
  application.installEventFilter(&keyFeed);

  SShellServices services;
  services.pSettings = &settings;
  services.pMessageBox = &messages;
  services.pKeyboard = &keyboard;
  services.pTicks = &ticks;

  CTolvarApp app(services);
  pApp = &app;
  if (!app.InitInstance(application.arguments())) return 1;
  // What went wrong with the settings file is told over the main window,
  // once the window manager has placed it: it is shown (exposed) then.
  QTimer settingsReport;
  settingsReport.callOnTimeout([&] {
    if (!app.MainFrame()->windowHandle()->isExposed()) return;
    settingsReport.stop();
    settings.SetReportHandler([&messages](const std::string& strText) { messages.Show(strText); });
  });
  settingsReport.start(kSettingsReportPollMs);
  const int nExit = application.exec();
  pApp = nullptr;
  return nExit;
}
