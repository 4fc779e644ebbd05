#include "platform/SdlEventPump.h"

#include <SDL.h>

#include "input/SdlKeyMap.h"
#include "platform/KeyStateKeyboard.h"

CSdlEventPump::CSdlEventPump(CKeyStateKeyboard* pKeyboard, std::function<void()> onQuit,
                             IEventPump* pNext)
    : m_pKeyboard(pKeyboard), m_onQuit(std::move(onQuit)), m_pNext(pNext) {}

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
