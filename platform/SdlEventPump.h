#pragma once

#include <functional>

#include "platform/Host.h"

class CKeyStateKeyboard;

// Drains the SDL window's event queue once per frame, so that its keys reach
// the keyboard state (as DirectInput codes) and its close request is not
// lost. Another pump may be chained after it (the runner's frame counter,
// the application's own events).
class CSdlEventPump : public IEventPump {
 public:
  CSdlEventPump(CKeyStateKeyboard* pKeyboard, std::function<void()> onQuit,
                IEventPump* pNext = nullptr);

  void PumpPendingEvents() override;

  int QuitRequests() const { return m_nQuitRequests; }
  // Told whether the SDL window has the keyboard focus when that changes.
  void SetFocusHandler(std::function<void(bool)> onFocus) { m_onFocus = std::move(onFocus); }

 private:
  void SyncKeyState();

  CKeyStateKeyboard* m_pKeyboard;
  std::function<void()> m_onQuit;
  std::function<void(bool)> m_onFocus;
  IEventPump* m_pNext;
  int m_nQuitRequests = 0;
};
