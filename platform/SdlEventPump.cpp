#include "platform/SdlEventPump.h"

#include <SDL.h>

#include "input/SdlKeyMap.h"
#include "platform/KeyStateKeyboard.h"

CSdlEventPump::CSdlEventPump(CKeyStateKeyboard* pKeyboard, std::function<void()> onQuit,
                             IEventPump* pNext)
    : m_pKeyboard(pKeyboard), m_onQuit(std::move(onQuit)), m_pNext(pNext) {}

void CSdlEventPump::SyncKeyState() {
  int nKeys = 0;
  const Uint8* pDown = SDL_GetKeyState(&nKeys);
  if (!pDown) return;
  for (int nKey = 0; nKey < nKeys; ++nKey) {
    const int nDik = SdlKeyToDik(nKey);
    if (nDik != 0) m_pKeyboard->SetKey(nDik, pDown[nKey] ? 0x80 : 0);
  }
}

void CSdlEventPump::PumpPendingEvents() {
  // Without a video subsystem there is no window and no queue to read.
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          if (m_pKeyboard) {
            const int nDik = SdlKeyToDik(event.key.keysym.sym);
            if (nDik != 0) {
              if (event.type == SDL_KEYDOWN)
                m_pKeyboard->Press(nDik);
              else
                m_pKeyboard->Release(nDik);
            }
          }
          break;
        case SDL_ACTIVEEVENT:
          if (!(event.active.state & SDL_APPINPUTFOCUS)) break;
          // A key that went up while another window had the focus sent its
          // release there, or nowhere: take SDL's view of every key.
          if (event.active.gain && m_pKeyboard) SyncKeyState();
          if (m_onFocus) m_onFocus(event.active.gain != 0);
          break;
        case SDL_QUIT:
          ++m_nQuitRequests;
          if (m_onQuit) m_onQuit();
          break;
        default:
          break;
      }
    }
  }
  if (m_pNext) m_pNext->PumpPendingEvents();
}
