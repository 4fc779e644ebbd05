// What the pictures cannot show of the SDL engine and its window: set-up
// failure, the window's modes and captures, the scanline's register work, the
// pixel-row mapping at every width, the window's keys and events, and the
// frame pacer with the engines and the runner it paces. How frames look is
// decided by GoldenImageTest.cpp and FrameStateTest.cpp.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
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
#include "video/PixelRows.h"
#include "video/SdlEngine.h"

namespace {
int g_nSleeps = -1;  // counting the pacers' sleeps instead of sleeping when 0 or more

// A clock that moves only when slept on or told to.
struct SFakeClock : IPacerClock {
  std::int64_t nNow = 1'000'000'000;
  std::vector<std::int64_t> sleeps;
  std::int64_t NowNs() override { return nNow; }
  void SleepUntilNs(std::int64_t n) override { sleeps.push_back(nNow = std::max(nNow, n)); }
};
}  // namespace

// The steady clock's sleep, which the pacers use, ends here: in this program
// it can be counted instead of taken.
extern "C" int nanosleep(const timespec* pTime, timespec* pLeft) {
  if (g_nSleeps < 0) return static_cast<int>(syscall(SYS_nanosleep, pTime, pLeft));
  ++g_nSleeps;
  return 0;
}

TEST(SdlEngine, ModesCapturesAndTheScanlinesRegisterWork) {
  CMessageRecorder messages;
  CPpu ppu(nullptr, 0);
  CSdlEngine engine(&ppu, SPlatform{.pMessageBox = &messages, .bPaceFrames = false});
  ppu.SetEngine(&engine);
  SImage image;
  // One frame, and the size of the picture or window it leaves, 0 x 0 for none.
  auto frame = [&](bool bWindow) {
    ppu.EndVBlank();
    for (int line = 0; line < 240; ++line) engine.DrawScanline(static_cast<BYTE>(line));
    ppu.StartVBlank();
    image = {};
    bWindow ? engine.CaptureWindow(image) : engine.CapturePicture(image);
    return std::make_tuple(image.nWidth, image.nHeight);
  };
  auto palette = [&ppu](BYTE index, BYTE value) {
    for (BYTE b : {BYTE(0x3F), index}) ppu.WriteRegister(0x2006, b);
    ppu.WriteRegister(0x2007, value);
  };
  auto master = [&ppu](int i) {
    return PackRgb(ppu.m_RgbPalette[i][0], ppu.m_RgbPalette[i][1], ppu.m_RgbPalette[i][2]);
  };
  // Without video the engine says so, and the console carries on.
  setenv("SDL_VIDEODRIVER", "no_such_video_driver", 1);
  ppu.Reset();
  ppu.m_Mask = 0x18;
  ppu.m_SpriteRam[0] = 10;
  EXPECT_EQ(frame(false), std::make_tuple(0, 0));
  EXPECT_EQ(ppu.m_Status & 0x40, 0x40) << "the sprite-0 hit is the game's, shown or not";
  engine.ToggleFullScreen();
  EXPECT_EQ(messages.Messages(),
            (std::vector<std::string>{"Unable to initialize video",
                                      "Unable to initialize video in full screen mode"}));
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ppu.Reset();
  // The window shows the backdrop, whichever it is, and colour 1's swatch
  // right of the picture with the debug view only: off, on, off again.
  palette(1, 0x16);
  for (int n = 0; n < 3; ++n) {
    const BYTE backdrop = n ? 0x27 : 0x2C;
    palette(0, backdrop);
    if (n) engine.ToggleDebugView();
    EXPECT_EQ(frame(true), std::make_tuple(512, 480));
    EXPECT_EQ(std::make_pair(image.At(511, 479), image.At(256 + 16, 0)),
              std::make_pair(master(backdrop), master(n == 1 ? 0x16 : backdrop)));
  }
  engine.ToggleFullScreen();
  EXPECT_EQ(frame(true), std::make_tuple(256, 256));
  EXPECT_EQ(image.At(255, 255), master(0x27));
  EXPECT_EQ(frame(false), std::make_tuple(256, 240));
  // Shutdown takes the screen away, and a reset makes it again.
  engine.Shutdown();
  EXPECT_EQ(engine.Screen(), nullptr);
  ppu.Reset();
  EXPECT_NE(engine.Screen(), nullptr);
  // With sprites shown each line takes the coarse X (0x15) and the table bit
  // (0x400) of the scroll register; with the background alone it does not.
  ppu.m_TempAddr = 0x0415;
  for (BYTE mask : {0x18, 0x08}) {
    ppu.m_Mask = mask;
    ppu.m_VramAddr = 0x2BEA;
    engine.DrawScanline(5);
    EXPECT_EQ(ppu.m_VramAddr, mask == 0x18 ? 0x2FF5 : 0x2BEA);
  }
}

// Every width from none to past two blocks of 16, keyed and not: each pixel
// of the row becomes map[pixel & 15], or stays as it was where it is the key;
// nothing outside the row changes.
TEST(PixelRows, MapsEachPixelAndLeavesTheKeyAndTheRestAlone) {
  BYTE map[16];
  for (int i = 0; i < 16; ++i) map[i] = static_cast<BYTE>(0x40 + i * 3);
  for (int nKey : {-1, 0, 5})
    for (int n = 0; n <= 40; ++n) {
      std::vector<BYTE> src(48), dst(48), expected(48);
      for (int i = 0; i < 48; ++i) {
        src[i] = static_cast<BYTE>((i * 37 + n) % 23);  // values above 15 too
        dst[i] = expected[i] = static_cast<BYTE>(200 + i);
        if (i >= 4 && i < n + 4 && src[i] != nKey) expected[i] = map[src[i] & 15];
      }
      MapPixelRow(src.data() + 4, dst.data() + 4, n, map, nKey);
      EXPECT_EQ(dst, expected) << "width " << n << ", key " << nKey;
    }
}

TEST(SdlKeyMap, GivesDirectInputCodes) {
  // clang-format off
  const std::pair<int, int> codes[] = {
      {SDLK_ESCAPE, 0x01}, {SDLK_TAB, 0x0F}, {SDLK_RETURN, 0x1C}, {SDLK_LCTRL, 0x1D},
      {SDLK_LSHIFT, 0x2A}, {SDLK_BACKSLASH, 0x2B}, {SDLK_RSHIFT, 0x36}, {SDLK_SPACE, 0x39},
      {SDLK_F1, 0x3B}, {SDLK_F10, 0x44}, {SDLK_F11, 0x57}, {SDLK_F12, 0x58}, {SDLK_KP_ENTER, 0x9C},
      {SDLK_RCTRL, 0x9D}, {SDLK_UP, 0xC8}, {SDLK_LEFT, 0xCB}, {SDLK_RIGHT, 0xCD}, {SDLK_DOWN, 0xD0},
      {SDLK_UNKNOWN, 0}, {SDLK_WORLD_5, 0}};
  // DirectInput numbers the typing keys along each row; SDL names them by their ASCII.
  const std::pair<const char*, int> rows[] = {
      {"1234567890-=", 0x02}, {"qwertyuiop[]", 0x10}, {"asdfghjkl;'`", 0x1E}, {"zxcvbnm,./", 0x2C}};
  // clang-format on
  for (const auto& [nSdl, nDik] : codes) EXPECT_EQ(SdlKeyToDik(nSdl), nDik) << nSdl;
  for (const auto& [row, nFirst] : rows)
    for (int i = 0; row[i]; ++i) EXPECT_EQ(SdlKeyToDik(row[i]), nFirst + i) << row[i];
}

TEST(SdlEventPump, FeedsKeysFocusAndTheCloseRequest) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  CKeyStateKeyboard keyboard;
  CScriptedEventPump next;
  int nQuits = 0;
  std::vector<bool> focus;
  CSdlEventPump pump(
      &keyboard, [&nQuits] { ++nQuits; }, &next);
  pump.PumpPendingEvents();  // no video yet: only the pump chained after it
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_SetVideoMode(64, 64, 8, 0), nullptr);
  pump.PumpPendingEvents();  // whatever SDL said of the new window
  pump.SetFocusHandler([&focus](bool bGain) { focus.push_back(bGain); });
  auto key = [](Uint8 type, SDLKey sym) {
    return SDL_Event{.key = {type, 0, type == SDL_KEYDOWN, {0, sym, KMOD_NONE, 0}}};
  };
  auto focusEvent = [](Uint8 gain, Uint8 state) {
    return SDL_Event{.active = {SDL_ACTIVEEVENT, gain, state}};
  };
  // Right goes down before the focus leaves; back in focus the keys are as
  // SDL has them, where the pushed ones never went down. The mouse's focus
  // is not the keyboard's.
  for (SDL_Event e : {key(SDL_KEYDOWN, SDLK_RIGHT), focusEvent(0, SDL_APPINPUTFOCUS),
                      focusEvent(1, SDL_APPINPUTFOCUS), focusEvent(0, SDL_APPMOUSEFOCUS),
                      key(SDL_KEYDOWN, SDLK_z), key(SDL_KEYDOWN, SDLK_LEFT),
                      key(SDL_KEYUP, SDLK_LEFT), SDL_Event{.type = SDL_QUIT}})
    SDL_PushEvent(&e);
  pump.PumpPendingEvents();
  BYTE down[256] = {};
  keyboard.GetDeviceState(down);
  EXPECT_EQ(std::make_tuple(std::vector({down[0xCD], down[0x2C], down[0xCB]}), nQuits,
                            pump.QuitRequests(), next.m_nPumps, focus),
            std::make_tuple(std::vector<BYTE>({0, 0x80, 0}), 1, 1, 3, std::vector{false, true}));
  SDL_Quit();
}

TEST(FramePacer, HoldsTheConsoleRateCatchesUpAndStartsAfreshAfterAStall) {
  SFakeClock clock;
  CFramePacer pacer(&clock);
  const double period = 1e9 / 60.0988;
  pacer.FramePresented();  // the first frame opens the series and is not held
  const std::int64_t start = clock.nNow;
  // 3 ms of work a frame: each is held to its boundary, 100 s without drift.
  for (int k = 1; k <= 6010; ++k) {
    clock.nNow += 3'000'000;
    pacer.FramePresented();
    ASSERT_EQ(clock.sleeps.size(), static_cast<std::size_t>(k));
    ASSERT_NEAR(clock.sleeps.back(), start + static_cast<std::int64_t>(k * period), 1) << k;
  }
  // A frame 2.5 periods late is not held, nor the next, still behind; the
  // third is held to the series' boundary. After a stall (a paused game) and
  // after Restart a new series begins at once.
  const std::int64_t last = clock.nNow;
  clock.sleeps.clear();
  for (double late : {2.5 * period, 1e3, 1e3, 5e9, 0.0, -1.0}) {
    if (late < 0) pacer.Restart();
    clock.nNow += static_cast<std::int64_t>(std::max(late, 0.0));
    pacer.FramePresented();
  }
  ASSERT_EQ(clock.sleeps.size(), 2u);
  EXPECT_NEAR(clock.sleeps[0], last + 3 * period, 2.0);
  EXPECT_NEAR(clock.sleeps[1], last + 3 * period + 5e9 + period, 2.0);
}

TEST(Runner, PacesEitherEngineOnlyInRealTimeAndTakesNoPictureOfTheNullEngine) {
  SRunnerOptions options, parsed;
  options.strRomPath = std::string(TOLVAR_ROM_DIR) + "/gfx_palette.nes";
  options.nFrames = 5;
  std::string error, parseError;
  for (const char* pszEngine : {"sdl", "directx"})
    for (bool bRealTime : {false, true}) {
      options.strEngine = pszEngine;
      options.bRealTime = bRealTime;
      g_nSleeps = 0;
      EXPECT_TRUE(RunHeadlessQuietly(options, error)) << error;
      EXPECT_EQ(g_nSleeps > 0, bRealTime) << pszEngine << " slept " << g_nSleeps << " times";
      g_nSleeps = -1;
    }
  // Refused when called in-process and on the command line alike.
  options.strEngine = "null";
  options.strWindowShot = "never_written.png";
  const char* const argv[] = {"tolvar-run", "--screenshot", "never_written.png", "game.nes"};
  EXPECT_FALSE(RunHeadlessQuietly(options, error));
  EXPECT_FALSE(ParseRunnerOptions(4, argv, parsed, parseError));
  for (const std::string& e : {error, parseError})
    EXPECT_NE(e.find("the null engine draws nothing"), std::string::npos) << e;
}
