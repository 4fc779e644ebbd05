#include "input/Input.h"

#include <cstring>

#include "platform/KeyboardDevice.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"

const char* const CInput::kButtonNames[kButtonCount] = {"A",  "B",    "Select", "Start",
                                                        "Up", "Down", "Left",   "Right"};
const int CInput::kDefaultKeyCodes[kButtonCount] = {44, 46, 15, 28, 200, 208, 203, 205};

CInput::CInput(IKeyboardDevice* pKeyboard, ISettingsStore* pSettings, IMessageBox* pMessageBox) {
  auto show = [pMessageBox](const char* text) {
    if (pMessageBox) pMessageBox->Show(text);
  };
  m_bInputSystem = pKeyboard && pKeyboard->CreateInputSystem();
  if (!m_bInputSystem) show("Unable to create Direct Input objects...");

  m_bJoystick = (pSettings && pSettings->GetInt("Input", "Type", 0) != 0) ? 1 : 0;
  if (m_bJoystick) {
    show("Joystick not supported yet.");
  } else {
    if (m_bInputSystem && pKeyboard->CreateDevice()) {
      m_pKeyboard = pKeyboard;
    } else {
      show("Unable to create Direct Keyboard...");
    }
    if (!m_pKeyboard || !m_pKeyboard->SetDataFormat()) show("Unable to initialize Keyboard...");
    for (int i = 0; i < kButtonCount; ++i)
      m_keyCodes[i] =
          pSettings ? pSettings->GetInt("Input", kButtonNames[i], kDefaultKeyCodes[i])
                    : kDefaultKeyCodes[i];
    if (m_pKeyboard) {
      m_pKeyboard->Acquire();
      m_pLiveKeys = m_pKeyboard->LiveState();
    }
  }
  std::memset(m_keyState, 0, sizeof(m_keyState));
  m_bStrobed = 0;
  m_strobe = 0;
}

CInput::~CInput() {
  if (m_pKeyboard) {
    m_pKeyboard->Unacquire();
    m_pKeyboard->Release();
  }
}

void CInput::RefreshKeyState() {
  if (m_pKeyboard) m_pKeyboard->GetDeviceState(m_keyState);
}

void CInput::WritePort(WORD /*addr*/, BYTE value) {
  // Only bit 0 is the strobe line; the upper bits drive other lines of the
  // port, and programs write them freely.
  if (m_strobe == 1 && !(value & 1)) {
    m_bStrobed = 1;
    m_strobe = 0;
    m_readCount[0] = m_readCount[1] = 0;
  } else if (value & 1) {
    m_strobe = 1;
  }
}

bool CInput::IsKeyDown(int nKeyCode) {
  // Only a device without a live state gets here: ReadButton answers the
  // button reads of the others.
  if (nKeyCode < 0 || nKeyCode > 255) return false;
  RefreshKeyState();
  return m_keyState[nKeyCode] != 0;
}

BYTE CInput::ReadPort(WORD addr) {
  if (const int nButton = ReadButton(addr); nButton >= 0) return static_cast<BYTE>(nButton);
  const int nPort = addr & 1;  // 0x4016 is 0, 0x4017 is 1
  int& n = m_readCount[nPort];
  if (n < 0x7FFFFFFF) ++n;  // counts on without overflowing
  if (n <= 8) return IsKeyDown(m_keyCodes[n - 1]) ? 0x41 : 0x40;
  if (n == 19) return static_cast<BYTE>(nPort);
  if (n == 20) return static_cast<BYTE>(nPort ^ 1);
  return 0x40;
}

void CInput::PollKeyboard(BYTE* keys) {
  RefreshKeyState();
  std::memcpy(keys, m_keyState, sizeof(m_keyState));
}
