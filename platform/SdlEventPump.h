#pragma once

#include <bitset>
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
  // The SDL window's events alone, for when no emulation loop pumps them.
  void PumpSdlEvents();
  // The keys the SDL window fed go up once it has gone (or has no focus):
  // their releases would be sent to another window, or nowhere.
  void ReleaseKeysOfGoneWindow();

  int QuitRequests() const { return m_nQuitRequests; }

 private:
  void Feed(int nDik, bool bDown);
  void ReleaseFedKeys();
  void SyncKeyState();

  CKeyStateKeyboard* m_pKeyboard;
  std::function<void()> m_onQuit;
  IEventPump* m_pNext;
  int m_nQuitRequests = 0;
  // The keys that went down in the SDL window and have not come up there.
  std::bitset<256> m_fedDown;
};
