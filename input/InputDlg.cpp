#include "input/InputDlg.h"

#include <QButtonGroup>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/ResourceIds.h"
#include "input/KeyName.h"
#include "platform/KeyboardDevice.h"
#include "platform/SettingsStore.h"

namespace {
// The box of each button, in the button order of CInput.
constexpr int kEditIds[CInput::kButtonCount] = {IDC_KEY_A,  IDC_KEY_B,    IDC_KEY_SELECT,
                                                IDC_KEY_START, IDC_KEY_UP, IDC_KEY_DOWN,
                                                IDC_KEY_LEFT,  IDC_KEY_RIGHT};

QString KeyText(int nCode) { return QString::fromStdString(KeyName(nCode)); }
}  // namespace

CInputDlg::CInputDlg(QWidget* pParent, CInput* pInput, ISettingsStore* pSettings)
    : CTemplateDialog(IDD_INPUT, pParent),
      m_pInput(pInput),
      m_pSettings(pSettings),
      m_pKeyboard(ItemAs<QRadioButton>(IDC_KEYBOARD)),
      m_pJoystick(ItemAs<QRadioButton>(IDC_JOYSTICK)) {
  auto* pTypes = new QButtonGroup(this);
  pTypes->addButton(m_pKeyboard);
  pTypes->addButton(m_pJoystick);
  const int nType = m_pSettings ? m_pSettings->GetInt("Input", "Type", 0) : 0;
  (nType == 0 ? m_pKeyboard : m_pJoystick)->setChecked(true);

  for (int i = 0; i < CInput::kButtonCount; ++i) {
    m_pEdits[i] = ItemAs<QLineEdit>(kEditIds[i]);
    const int nCode = m_pSettings ? m_pSettings->GetInt("Input", CInput::kButtonNames[i],
                                                        CInput::kDefaultKeyCodes[i])
                                  : CInput::kDefaultKeyCodes[i];
    m_pEdits[i]->setText(KeyText(nCode));
    m_newKeyCodes[i] = m_pInput ? m_pInput->m_keyCodes[i] : CInput::kDefaultKeyCodes[i];
  }

  m_pDevice = m_pInput ? m_pInput->Keyboard() : nullptr;
  if (m_pDevice) {
    m_pDevice->Unacquire();
    m_pDevice->SetStateChangedHandler([this] { OnKeyStateChanged(); });
    m_pDevice->Acquire();
  }

  connect(ItemAs<QPushButton>(IDC_INPUT_OK), &QPushButton::clicked, this, [this] { Save(); });
  connect(ItemAs<QPushButton>(IDC_INPUT_CANCEL), &QPushButton::clicked, this,
          &QDialog::reject);

  // Focus on an edit starts a capture; while one waits, the key that ends it
  // must not also act on the dialog (Tab moving the focus, Escape
  // cancelling, Enter pressing a button).
  installEventFilter(this);
  for (QWidget* pChild : findChildren<QWidget*>()) pChild->installEventFilter(this);
  m_bChanged = false;
  m_pKeyboard->setFocus();
}

CInputDlg::~CInputDlg() { StopNotifications(); }

void CInputDlg::StopNotifications() {
  if (m_pDevice) m_pDevice->SetStateChangedHandler({});
  m_pDevice = nullptr;
}

bool CInputDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
  switch (pEvent->type()) {
    case QEvent::FocusIn:
      for (int i = 0; i < CInput::kButtonCount; ++i) {
        if (pWatched != m_pEdits[i]) continue;
        // Started from the event loop, not from inside the focus change, so
        // the captures of a row of boxes do not nest.
        QTimer::singleShot(0, this, [this, i] {
          if (focusWidget() == m_pEdits[i]) Capture(i);
        });
      }
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (IsCapturing()) return true;
      break;
    case QEvent::ShortcutOverride:
      if (IsCapturing()) {
        pEvent->accept();
        return true;
      }
      break;
    default:
      break;
  }
  return CTemplateDialog::eventFilter(pWatched, pEvent);
}

void CInputDlg::OnKeyStateChanged() {
  m_bKeysChanged = true;
  if (m_pWait) m_pWait->quit();
}

void CInputDlg::Capture(int nButton) {
  if (!m_pDevice || m_bClosing) return;
  m_nCaptureButton = nButton;
  if (m_pWait) return;  // the waiting capture now fills this box

  int nCode = -1;
  QEventLoop wait;
  m_pWait = &wait;
  while (nCode < 0 && !m_bClosing) {
    if (!m_bKeysChanged) wait.exec();
    if (m_bClosing || !m_pDevice) break;
    m_bKeysChanged = false;
    BYTE keys[256] = {};
    m_pDevice->GetDeviceState(keys);
    // The lowest code that is down wins; a release leaves none down.
    for (int c = 0; c < 255 && nCode < 0; ++c)
      if (keys[c]) nCode = c;
  }
  m_pWait = nullptr;
  if (nCode < 0) return;

  m_newKeyCodes[m_nCaptureButton] = nCode;
  m_pEdits[m_nCaptureButton]->setText(KeyText(nCode));
  focusNextChild();
  m_bChanged = true;
}

void CInputDlg::Save() {
  if (m_bChanged && m_pInput) {
    for (int i = 0; i < CInput::kButtonCount; ++i) m_pInput->m_keyCodes[i] = m_newKeyCodes[i];
    if (m_pSettings) {
      m_pSettings->WriteInt("Input", "Type", m_pKeyboard->isChecked() ? 0 : 1);
      for (int i = 0; i < CInput::kButtonCount; ++i)
        m_pSettings->WriteInt("Input", CInput::kButtonNames[i], m_pInput->m_keyCodes[i]);
    }
  }
  accept();
}

void CInputDlg::done(int nResult) {
  // A capture waiting when the dialog closes ends without a key.
  m_bClosing = true;
  if (m_pWait) m_pWait->quit();
  StopNotifications();
  CTemplateDialog::done(nResult);
}
