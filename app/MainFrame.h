#pragma once

#include <QMainWindow>
#include <map>
#include <string>

#include "app/ShellServices.h"
#include "platform/Host.h"
#include "platform/MainWindowSizer.h"

class CTolvarView;
class QAction;
class QLabel;
class QMenu;

// The main window: the menu, the view as its client, and a status bar with
// two panes (menu prompts; the frame-rate text). Menu commands go to the
// view, then the frame, then the application.
class CMainFrame : public QMainWindow, public IStatusText, public IMainWindowSizer {
 public:
  CMainFrame(const SShellServices& services, ICommandTarget* pApp);
  ~CMainFrame() override;

  CTolvarView* View() const { return m_pView; }

  // Runs a command as the menu would; nothing runs while a message box is
  // up (it may have come up in the middle of a CPU instruction).
  void OnCommand(int nCommand);
  bool HasHandler(int nCommand) const;

  // The menu item of a command, and the top-level popups by position.
  QAction* Action(int nCommand) const;
  QMenu* Popup(int nIndex) const;
  // Check marks are set only by the command handlers and start-up.
  void SetCheck(int nCommand, bool bChecked);
  bool IsChecked(int nCommand) const;
  // Rewrites an item's text (the recent files).
  void SetItemText(int nCommand, const std::string& strText);
  std::string ItemText(int nCommand) const;

  // Pane 1 text; updated on screen at once.
  void SetPaneText(int nPane, const std::string& strText) override;
  std::string PaneText(int nPane) const;
  void ResizeMainWindow(int nWidth, int nHeight) override;
  // The DirectX engine's full-screen level: the window covers the display,
  // without menu and status bar; leaving it brings them and the size back.
  void SetFullScreen(bool bFullScreen);

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
  void closeEvent(QCloseEvent* pEvent) override;

 private:
  void BuildMenu();
  void BuildAccelerators();
  void EnableItems(QMenu* pMenu);

  ICommandTarget* m_pApp;
  CTolvarView* m_pView = nullptr;
  QLabel* m_pFpsPane = nullptr;
  std::map<int, QAction*> m_actions;
  std::map<int, bool> m_checks;
  std::vector<QMenu*> m_popups;
  QSize m_windowedSize;  // the client's
  QSize m_frameSize;     // the window manager's frame, last seen windowed
  bool m_bFullScreen = false;
};
