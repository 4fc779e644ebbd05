#pragma once

#include "dialogs/TemplateDialog.h"
#include "input/Input.h"

class IKeyboardDevice;
class ISettingsStore;
class QEventLoop;
class QLineEdit;
class QRadioButton;

// "Input Device Settings": a key for each of the eight buttons. Giving a
// button's box the focus waits for a key on the keyboard device itself, so
// the dialog records the same key codes the controller port reads; the wait
// runs a nested event loop that keeps the dialog alive. OK puts the new keys
// into the machine and the settings.
class CInputDlg : public CTemplateDialog {
 public:
  CInputDlg(QWidget* pParent, CInput* pInput, ISettingsStore* pSettings);
  ~CInputDlg() override;

  void done(int nResult) override;
  // True while a button's box waits for a key.
  bool IsCapturing() const { return m_pWait != nullptr; }

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

 private:
  void Capture(int nButton);
  void OnKeyStateChanged();
  void Save();
  void StopNotifications();

  CInput* m_pInput;
  ISettingsStore* m_pSettings;
  // Null when the machine has no keyboard (joystick type, failed set-up):
  // then nothing can be captured.
  IKeyboardDevice* m_pDevice = nullptr;
  int m_newKeyCodes[CInput::kButtonCount] = {};
  bool m_bChanged = false;
  QLineEdit* m_pEdits[CInput::kButtonCount] = {};
  QRadioButton* m_pKeyboard;
  QRadioButton* m_pJoystick;

  // The device's change notification, set until a wait takes it, as an
  // auto-reset event would be.
  bool m_bKeysChanged = false;
  QEventLoop* m_pWait = nullptr;
  int m_nCaptureButton = -1;
  bool m_bClosing = false;
};
