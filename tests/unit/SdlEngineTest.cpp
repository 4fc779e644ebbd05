// What the pictures cannot show of the SDL engine and its window: set-up
// failure, the window's modes and captures, the window's keys and events, and
// the pacing of both engines. How frames look is decided by
// GoldenImageTest.cpp and FrameStateTest.cpp.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "input/SdlKeyMap.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MessageRecorder.h"
#include "platform/SdlEventPump.h"
#include "ppu/Ppu.h"
#include "support/GoldenImage.h"
#include "tools/RunnerOptions.h"
#include "video/SdlEngine.h"

static int g_nSleeps = -1;  // counting the pacers' sleeps instead of sleeping when 0 or more

// The steady clock's sleep, which the pacers use, ends here: in this program
// it can be counted instead of taken.
extern "C" int nanosleep(const timespec* pTime, timespec* pLeft) {
  if (g_nSleeps < 0) return static_cast<int>(syscall(SYS_nanosleep, pTime, pLeft));
  ++g_nSleeps;
  return 0;
}

TEST(SdlEngine, SaysWhenThereIsNoVideoAndShowsEachWindowMode) {
  CMessageRecorder messages;
  CPpu ppu(nullptr, 0);
  CSdlEngine engine(&ppu, SPlatform{.pMessageBox = &messages, .bPaceFrames = false});
  ppu.SetEngine(&engine);
  SImage image;
  // One frame: the size of the window it leaves (0 x 0 for none) and its pixel at (x, y).
  auto frame = [&](int x, int y) {
    ppu.EndVBlank();
    for (int line = 0; line < 240; ++line) engine.DrawScanline(static_cast<BYTE>(line));
    ppu.StartVBlank();
    image = {};
    engine.CaptureWindow(image);
    const bool bInside = x < image.nWidth && y < image.nHeight;
    return std::make_tuple(image.nWidth, image.nHeight, bInside ? image.At(x, y) : 0u);
  };
  // Without video the engine says so, and the console carries on.
  setenv("SDL_VIDEODRIVER", "no_such_video_driver", 1);
  ppu.Reset();
  ppu.m_Mask = 0x18;
  ppu.m_SpriteRam[0] = 10;
  EXPECT_EQ(frame(0, 0), std::make_tuple(0, 0, 0u));
  EXPECT_EQ(ppu.m_Status & 0x40, 0x40) << "the sprite-0 hit is the game's, shown or not";
  engine.ToggleFullScreen();
  EXPECT_EQ(messages.Messages(),
            (std::vector<std::string>{"Unable to initialize video",
                                      "Unable to initialize video in full screen mode"}));
  // The window shows the backdrop (0x27), and colour 1's swatch right of the
  // picture with the debug view only; full screen is a 256 x 256 window.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ppu.Reset();
  engine.EndFrame();  // before any frame a new window is black, not what its memory held
  EXPECT_TRUE(engine.CaptureWindow(image) && image.At(511, 479) == PackRgb(0, 0, 0));
  for (auto [addr, value] : {std::pair{0x2006, 0x3F}, {0x2006, 0}, {0x2007, 0x27}, {0x2007, 0x16}})
    ppu.WriteRegister(static_cast<WORD>(addr), static_cast<BYTE>(value));
  const auto& rgb = ppu.m_RgbPalette;
  const std::uint32_t backdrop = PackRgb(rgb[0x27][0], rgb[0x27][1], rgb[0x27][2]);
  EXPECT_EQ(frame(272, 0), std::make_tuple(512, 480, backdrop));
  engine.ToggleDebugView();
  EXPECT_EQ(frame(272, 0),
            std::make_tuple(512, 480, PackRgb(rgb[0x16][0], rgb[0x16][1], rgb[0x16][2])));
  engine.ToggleFullScreen();
  EXPECT_EQ(frame(255, 255), std::make_tuple(256, 256, backdrop));
}

TEST(SdlKeyMap, GivesDirectInputCodesForTheDefaultKeys) {
  const std::pair<int, int> codes[] = {{SDLK_z, 0x2C},      {SDLK_c, 0x2E},     {SDLK_TAB, 0x0F},
                                       {SDLK_RETURN, 0x1C}, {SDLK_UP, 0xC8},    {SDLK_DOWN, 0xD0},
                                       {SDLK_LEFT, 0xCB},   {SDLK_RIGHT, 0xCD}, {SDLK_ESCAPE, 0x01},
                                       {SDLK_UNKNOWN, 0}};
  for (const auto& [nSdl, nDik] : codes) EXPECT_EQ(SdlKeyToDik(nSdl), nDik) << nSdl;
}

TEST(SdlEventPump, FeedsKeysFocusAndTheCloseRequestAndLetsGoWhatAGoneWindowHeld) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  CKeyStateKeyboard keyboard;
  CScriptedEventPump next;
  int nQuits = 0;
  CSdlEventPump pump(
      &keyboard, [&nQuits] { ++nQuits; }, &next);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_SetVideoMode(64, 64, 8, 0), nullptr);
  pump.PumpPendingEvents();  // whatever SDL said of the new window
  auto key = [](Uint8 type, SDLKey sym) {
    return SDL_Event{.key = {type, 0, type == SDL_KEYDOWN, {0, sym, KMOD_NONE, 0}}};
  };
  // Right goes down before the focus leaves; back in focus the keys are as
  // SDL has them, where the pushed ones never went down.
  for (SDL_Event e :
       {key(SDL_KEYDOWN, SDLK_RIGHT), SDL_Event{.active = {SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS}},
        SDL_Event{.active = {SDL_ACTIVEEVENT, 1, SDL_APPINPUTFOCUS}}, key(SDL_KEYDOWN, SDLK_z),
        key(SDL_KEYDOWN, SDLK_LEFT), key(SDL_KEYUP, SDLK_LEFT), SDL_Event{.type = SDL_QUIT}})
    SDL_PushEvent(&e);
  pump.PumpPendingEvents();
  BYTE down[256] = {};
  keyboard.GetDeviceState(down);
  EXPECT_EQ(std::make_tuple(std::vector({down[0xCD], down[0x2C], down[0xCB]}), nQuits,
                            pump.QuitRequests(), next.m_nPumps),
            std::make_tuple(std::vector<BYTE>({0, 0x80, 0}), 1, 1, 2));
  SDL_Quit();  // the window goes with Z down: its release never comes
  pump.PumpPendingEvents();
  keyboard.GetDeviceState(down);
  EXPECT_EQ(down[0x2C], 0);
}

// The runner paces either engine, in real time only.
TEST(Runner, PacesEitherEngineOnlyInRealTime) {
  SRunnerOptions options;
  options.strRomPath = TOLVAR_ROM_DIR "/gfx_palette.nes";
  options.nFrames = 5;
  std::string error;
  for (const char* pszEngine : {"sdl", "directx"})
    for (bool bRealTime : {false, true}) {
      options.strEngine = pszEngine;
      options.bRealTime = bRealTime;
      g_nSleeps = 0;
      EXPECT_TRUE(RunHeadlessQuietly(options, error)) << error;
      EXPECT_EQ(g_nSleeps > 0, bRealTime) << pszEngine << " slept " << g_nSleeps << " times";
      g_nSleeps = -1;
    }
}
