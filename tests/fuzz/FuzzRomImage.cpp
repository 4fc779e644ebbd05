// libFuzzer target: arbitrary bytes as a cartridge image, read through
// CRom::Load (from a file, as the program reads one) and built by
// CNes::LoadRom, then a few frames with the NULL engine and with the SDL
// engine under SDL's dummy video driver.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <dlfcn.h>
#include <unistd.h>

#include <SDL.h>

#include "core/Nes.h"
#include "core/Rom.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/SettingsTable.h"

// SDL 1.2 (sdl12-compat over SDL 2) keeps blocks from every video mode it
// sets; they are the library's. Stacks are unwound the fast way here, as
// every allocation is, so the library is named by module.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:SDL_SetVideoMode\nleak:libSDL2-2.0.so\nleak:libSDL-1.2.so\n";
}

// Setting SDL's video mode (a window, a renderer and their pixels, all
// fresh pages under the sanitizer) costs more than the frames of an
// input. The first mode set stays for the whole run: SDL_Quit is answered
// here and a later call for the same mode gets the same screen. Every
// input still makes, fills and frees each of the engine's own surfaces.
extern "C" void SDL_Quit(void) {}

extern "C" SDL_Surface* SDL_SetVideoMode(int nWidth, int nHeight, int nBpp, Uint32 flags) {
  using SetVideoModeFn = SDL_Surface* (*)(int, int, int, Uint32);
  static const auto realSetVideoMode =
      reinterpret_cast<SetVideoModeFn>(dlsym(RTLD_NEXT, "SDL_SetVideoMode"));
  static SDL_Surface* pScreen = nullptr;
  static int nModeWidth, nModeHeight, nModeBpp;
  static Uint32 modeFlags;
  if (!pScreen || nWidth != nModeWidth || nHeight != nModeHeight || nBpp != nModeBpp ||
      flags != modeFlags) {
    pScreen = realSetVideoMode(nWidth, nHeight, nBpp, flags);
    nModeWidth = nWidth, nModeHeight = nHeight, nModeBpp = nBpp, modeFlags = flags;
  }
  return pScreen;
}

namespace {
constexpr int kFrames = 2;
std::string g_strImagePath;

void RunFrames(CRom& rom, const char* pszEngine) {
  CMemorySettingsStore settings;
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", pszEngine);
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  CScriptedEventPump pump;
  CRecordingStatusText status;
  CNes nes(SPlatform{.pSettings = &settings,
                     .pMessageBox = &messages,
                     .pKeyboard = &keyboard,
                     .pTicks = &ticks,
                     .pEventPump = &pump,
                     .pStatusText = &status,
                     .bPaceFrames = false});
  if (!nes.LoadRom(&rom)) return;
  pump.m_onPump = [&](int n) {
    keyboard.SetKey(n * 7 % 256, n & 1 ? 0x80 : 0);  // some keys, changing
    if (n >= kFrames) nes.Stop();
  };
  nes.Run();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const char* pszDir = std::getenv("TMPDIR");
  g_strImagePath = std::string(pszDir ? pszDir : "/tmp") + "/tolvar_fuzz_" +
                   std::to_string(::getpid()) + ".nes";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  std::FILE* pFile = std::fopen(g_strImagePath.c_str(), "wb");
  if (!pFile) return 0;
  const bool bWritten = nSize == 0 || std::fwrite(pData, 1, nSize, pFile) == nSize;
  std::fclose(pFile);
  CRom rom;
  if (bWritten && rom.Load(g_strImagePath)) {
    RunFrames(rom, "NULL");
    RunFrames(rom, "SDL");
  }
  std::remove(g_strImagePath.c_str());
  return 0;
}
