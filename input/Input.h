#pragma once

#include "platform/Types.h"

class IKeyboardDevice;
class ISettingsStore;
class IMessageBox;

// The NES controller played on the keyboard, and the controller port the
// CPU sees at 0x4016 and 0x4017.
class CInput {
 public:
  CInput(IKeyboardDevice* pKeyboard, ISettingsStore* pSettings, IMessageBox* pMessageBox);
  virtual ~CInput();

  BYTE ReadPort(WORD addr);
  // A read of one of the first eight buttons from the keyboard's own state,
  // or of the port before any strobe: what ReadPort would return, cheap
  // enough to inline where programs read the port many times a frame; -1
  // (nothing changed) for any other read, which ReadPort must make.
  int ReadButton(WORD addr) {
    if (!m_bStrobed) return 0;
    int& n = m_readCount[addr & 1];
    if (n >= kButtonCount || !m_pLiveKeys) return -1;
    const unsigned nKeyCode = static_cast<unsigned>(m_keyCodes[n++]);
    return nKeyCode <= 255 && m_pLiveKeys[nKeyCode] ? 0x41 : 0x40;
  }
  void WritePort(WORD addr, BYTE value);
  // Copies the whole key state (256 bytes) into keys.
  void PollKeyboard(BYTE* keys);

  // The keyboard device, for the key capture; null with no keyboard.
  IKeyboardDevice* Keyboard() const { return m_pKeyboard; }

  // Button order of m_keyCodes and of the port's reads.
  enum EButton { kA, kB, kSelect, kStart, kUp, kDown, kLeft, kRight, kButtonCount };
  static const char* const kButtonNames[kButtonCount];
  static const int kDefaultKeyCodes[kButtonCount];

  int m_keyCodes[kButtonCount] = {};
  BYTE m_bJoystick = 0;
  BYTE m_bStrobed = 0;
  int m_strobe = 0;
  // Reads since the last completed strobe, of 0x4016 and of 0x4017: games
  // read both ports in one loop, and each port starts from button A.
  int m_readCount[2] = {};
  // The state as the last poll read it.
  BYTE m_keyState[256] = {};

 private:
  void RefreshKeyState();
  bool IsKeyDown(int nKeyCode);

  IKeyboardDevice* m_pKeyboard = nullptr;  // null when none could be set up
  // The device's own state when it keeps one: a port read then costs a
  // look-up instead of a copy of all 256 keys, and is just as fresh.
  const BYTE* m_pLiveKeys = nullptr;
  bool m_bInputSystem = false;
};
