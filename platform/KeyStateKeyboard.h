#pragma once

#include <array>
#include <functional>

#include "platform/KeyboardDevice.h"

// A keyboard whose state is fed by whoever receives the key events (the
// application window, the SDL window's event pump, a script). Press and
// Release take DirectInput key codes. Tests use it as the scripted keyboard;
// the failure switches let them fail any set-up step.
class CKeyStateKeyboard : public IKeyboardDevice {
 public:
  bool CreateInputSystem() override { return !m_bFailCreateInputSystem; }
  bool CreateDevice() override { return !m_bFailCreateDevice; }
  bool SetDataFormat() override { return !m_bFailSetDataFormat; }
  bool Acquire() override {
    m_bAcquired = true;
    ++m_nAcquireCount;
    return true;
  }
  void Unacquire() override { m_bAcquired = false; }
  void Release() override { ++m_nReleaseCount; }
  bool GetDeviceState(BYTE* keys) override;
  const BYTE* LiveState() const override { return m_state.data(); }
  void SetStateChangedHandler(std::function<void()> handler) override {
    m_stateChanged = std::move(handler);
  }

  void Press(int nKeyCode) { SetKey(nKeyCode, 0x80); }
  void Release(int nKeyCode) { SetKey(nKeyCode, 0); }
  void SetKey(int nKeyCode, BYTE value);
  void ReleaseAll();

  bool m_bFailCreateInputSystem = false;
  bool m_bFailCreateDevice = false;
  bool m_bFailSetDataFormat = false;
  bool m_bAcquired = false;
  int m_nAcquireCount = 0;
  int m_nReleaseCount = 0;
  int m_nStateReads = 0;

 private:
  std::array<BYTE, 256> m_state{};
  std::function<void()> m_stateChanged;
};
