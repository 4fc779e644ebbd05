#include "platform/SdlEventPump.h"

#include <SDL.h>

#include "input/SdlKeyMap.h"
#include "platform/KeyStateKeyboard.h"

CSdlEventPump::CSdlEventPump(CKeyStateKeyboard* pKeyboard, std::function<void()> onQuit,
                             IEventPump* pNext)
    : m_pKeyboard(pKeyboard), m_onQuit(std::move(onQuit)), m_pNext(pNext) {}

void CSdlEventPump::Feed(int nDik, bool bDown) {
  if (!m_pKeyboard || nDik <= 0 || nDik > 255) return;
  m_fedDown[nDik] = bDown;
  if (bDown)
    m_pKeyboard->Press(nDik);
  else
    m_pKeyboard->Release(nDik);
}

void CSdlEventPump::ReleaseFedKeys() {
  if (m_fedDown.none()) return;
  for (int nDik = 0; nDik < 256; ++nDik)
    if (m_fedDown[nDik]) Feed(nDik, false);
}

void CSdlEventPump::ReleaseKeysOfGoneWindow() {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) ReleaseFedKeys();
}

void CSdlEventPump::SyncKeyState() {
  // A key that went up while another window had the focus sent its release
  // there, or nowhere: take SDL's view of the keys.
  int nKeys = 0;
  const Uint8* pDown = SDL_GetKeyState(&nKeys);
  if (!pDown) return;
  ReleaseFedKeys();
  for (int nKey = 0; nKey < nKeys; ++nKey)
    if (pDown[nKey]) Feed(SdlKeyToDik(nKey), true);
}

void CSdlEventPump::PumpSdlEvents() {
  SDL_Event event;
  // Without a video subsystem there is no window and no queue to read; a
  // close request may take them away.
  while (SDL_WasInit(SDL_INIT_VIDEO) && SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        Feed(SdlKeyToDik(event.key.keysym.sym), event.type == SDL_KEYDOWN);
        break;
      case SDL_ACTIVEEVENT:
        if (!(event.active.state & SDL_APPINPUTFOCUS)) break;
        if (event.active.gain)
          SyncKeyState();
        else
          ReleaseFedKeys();
        break;
      case SDL_QUIT:
        ++m_nQuitRequests;
        if (m_onQuit) m_onQuit();
        break;
      default:
        break;
    }
  }
  ReleaseKeysOfGoneWindow();
}

void CSdlEventPump::PumpPendingEvents() {
  PumpSdlEvents();
  if (m_pNext) m_pNext->PumpPendingEvents();
}
