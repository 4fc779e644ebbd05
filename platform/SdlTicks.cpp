#include "platform/SdlTicks.h"

#include <SDL.h>

CSdlTicks::CSdlTicks() { SDL_InitSubSystem(SDL_INIT_TIMER); }

CSdlTicks::~CSdlTicks() { SDL_QuitSubSystem(SDL_INIT_TIMER); }

DWORD CSdlTicks::GetTicks() { return SDL_GetTicks(); }
