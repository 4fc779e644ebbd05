#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include "app/MenuResources.h"
#include "app/ResourceIds.h"
#include "app/TolvarView.h"
#include "platform/QtMessageBox.h"

namespace {
// Framework commands with nothing behind them: the program has no help file
// and a single pane.
bool IsFrameCommand(int nCommand) {
  switch (nCommand) {
    case ID_HELP:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
    case ID_HELP_FINDER:
    case ID_CONTEXT_HELP:
    case ID_DEFAULT_HELP:
      return true;
    default:
      return false;
  }
}
}  // namespace

CMainFrame::CMainFrame(const SShellServices& services, ICommandTarget* pApp) : m_pApp(pApp) {
  // Pane 0 is the status bar's message area, which shows the prompt of the
  // highlighted menu item; pane 1 the frame rate.
  m_pFpsPane = new QLabel(this);
  m_pFpsPane->setMinimumWidth(100);
  statusBar()->addPermanentWidget(m_pFpsPane);
  statusBar()->setSizeGripEnabled(false);
  m_pFpsPane->setText(QString());

  BuildMenu();
  BuildAccelerators();
  menuBar()->installEventFilter(this);
  m_pView = new CTolvarView(this, services);
  setCentralWidget(m_pView);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildMenu() {
  std::function<void(QMenu*, const std::vector<SMenuItem>&)> fill =
      [&](QMenu* pMenu, const std::vector<SMenuItem>& items) {
        for (const SMenuItem& item : items) {
          if (!item.pszText) {
            pMenu->addSeparator();
          } else if (item.nCommand == 0) {
            fill(pMenu->addMenu(QString::fromUtf8(item.pszText)), item.popup);
          } else {
            QAction* pAction = pMenu->addAction(QString::fromUtf8(item.pszText));
            pAction->setStatusTip(QString::fromUtf8(item.pszPrompt));
            pAction->setEnabled(!item.bGrayed);
            pAction->setData(item.nCommand);
            const int nCommand = item.nCommand;
            connect(pAction, &QAction::triggered, this, [this, nCommand] {
              // A checkable item flips itself when chosen; its handler
              // decides the check mark.
              SetCheck(nCommand, IsChecked(nCommand));
              OnCommand(nCommand);
            });
            m_actions[nCommand] = pAction;
          }
        }
        // Items are enabled when a handler stands behind them, each time
        // the popup opens.
        connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] { EnableItems(pMenu); });
        connect(pMenu, &QMenu::aboutToHide, this, [this] {
          statusBar()->clearMessage();
          // A menu closed with Escape leaves the menu bar holding the keys,
          // where plain letters open menus; once the menu is gone (and no
          // other opened in its place), the keys go back to the window.
          QTimer::singleShot(0, this, [this] {
            if (!QApplication::activePopupWidget() && menuBar()->hasFocus())
              menuBar()->clearFocus();
          });
        });
      };
  for (const SMenuItem& popup : MainMenu()) {
    QMenu* pMenu = menuBar()->addMenu(QString::fromUtf8(popup.pszText));
    fill(pMenu, popup.popup);
    m_popups.push_back(pMenu);
  }
}

void CMainFrame::BuildAccelerators() {
  for (const SAccelerator& accelerator : Accelerators()) {
    auto* pShortcut = new QShortcut(QKeySequence(QString::fromUtf8(accelerator.pszKeys)), this);
    const int nCommand = accelerator.nCommand;
    connect(pShortcut, &QShortcut::activated, this, [this, nCommand] {
      // The emulation loop dispatches events without translating
      // accelerators.
      if (m_pView->IsEmulating()) return;
      OnCommand(nCommand);
    });
  }
}

bool CMainFrame::eventFilter(QObject* pWatched, QEvent* pEvent) {
  // While a game runs, the keys it reads are its own: a plain key that
  // reaches the menu bar (after Alt alone, or a menu closed by the keyboard)
  // opens nothing. Alt and a letter still open a menu.
  if (pWatched == menuBar() && pEvent->type() == QEvent::KeyPress && m_pView->IsEmulating()) {
    const auto* pKey = static_cast<QKeyEvent*>(pEvent);
    if (!(pKey->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
      menuBar()->clearFocus();
      return true;
    }
  }
  return QMainWindow::eventFilter(pWatched, pEvent);
}

void CMainFrame::EnableItems(QMenu* pMenu) {
  for (QAction* pAction : pMenu->actions())
    if (pAction->data().isValid()) pAction->setEnabled(HasHandler(pAction->data().toInt()));
}

bool CMainFrame::HasHandler(int nCommand) const {
  return m_pView->HasHandler(nCommand) || IsFrameCommand(nCommand) ||
         (m_pApp && m_pApp->HasHandler(nCommand));
}

void CMainFrame::OnCommand(int nCommand) {
  if (CQtMessageBox::IsShowing()) return;
  if (m_pView->OnCommand(nCommand)) return;
  if (IsFrameCommand(nCommand)) return;
  if (m_pApp) m_pApp->OnCommand(nCommand);
}

QAction* CMainFrame::Action(int nCommand) const {
  const auto it = m_actions.find(nCommand);
  return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::Popup(int nIndex) const {
  return nIndex >= 0 && nIndex < static_cast<int>(m_popups.size()) ? m_popups[nIndex] : nullptr;
}

void CMainFrame::SetCheck(int nCommand, bool bChecked) {
  QAction* pAction = Action(nCommand);
  if (!pAction) return;
  m_checks[nCommand] = bChecked;
  // Only checked items are checkable, so unchecked ones show no box.
  pAction->setCheckable(bChecked);
  pAction->setChecked(bChecked);
}

bool CMainFrame::IsChecked(int nCommand) const {
  const auto it = m_checks.find(nCommand);
  return it != m_checks.end() && it->second;
}

void CMainFrame::SetItemText(int nCommand, const std::string& strText) {
  if (QAction* pAction = Action(nCommand)) pAction->setText(QString::fromStdString(strText));
}

std::string CMainFrame::ItemText(int nCommand) const {
  const QAction* pAction = Action(nCommand);
  return pAction ? pAction->text().toStdString() : std::string();
}

void CMainFrame::SetPaneText(int nPane, const std::string& strText) {
  if (nPane != 1) return;
  m_pFpsPane->setText(QString::fromStdString(strText));
  m_pFpsPane->repaint();
}

std::string CMainFrame::PaneText(int nPane) const {
  if (nPane == 0) return statusBar()->currentMessage().toStdString();
  return m_pFpsPane->text().toStdString();
}

void CMainFrame::ResizeMainWindow(int nWidth, int nHeight) {
  // The sizes are of the whole window; the window manager's frame, once
  // there is one, is not ours to size. Full screen has none: the last
  // windowed one counts.
  if (!m_bFullScreen && windowHandle()) {
    const QMargins frame = windowHandle()->frameMargins();
    m_frameSize = QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  }
  m_windowedSize = QSize(nWidth, nHeight) - m_frameSize;
  if (!m_bFullScreen) setFixedSize(m_windowedSize);
}

void CMainFrame::SetFullScreen(bool bFullScreen) {
  if (bFullScreen == m_bFullScreen) return;
  m_bFullScreen = bFullScreen;
  menuBar()->setVisible(!bFullScreen);
  statusBar()->setVisible(!bFullScreen);
  if (bFullScreen) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
  } else {
    showNormal();
    if (m_windowedSize.isValid()) setFixedSize(m_windowedSize);
  }
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
  // Closing while the emulation loop runs stops it; the window closes once
  // the outermost loop has returned.
  if (m_pView->IsEmulating()) {
    m_pView->CloseWhenStopped();
    pEvent->ignore();
    return;
  }
  QMainWindow::closeEvent(pEvent);
}
