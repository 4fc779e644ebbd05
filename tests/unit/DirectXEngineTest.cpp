// What the pictures cannot show of the DirectX engine and the software drawing
// objects under it: each failing set-up step's message and what follows it,
// the mode switches, leaks, where the picture lands, and the stretched copies.
// How frames look is decided by GoldenImageTest.cpp and FrameStateTest.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/OffscreenTarget.h"
#include "platform/SoftDirectDraw.h"
#include "ppu/Ppu.h"
#include "video/DirectXEngine.h"

namespace {
const std::uint32_t kWhite = PackRgb(255, 255, 255), kGrey = PackRgb(9, 9, 9);

// The engine on an 800 x 600 display, the window's client area at (300, 150)
// and partly off it, started windowed ('w'), windowed at 512 x 480 ('W') or
// full screen ('f'): the PPU's reset reads the mode and size from the settings.
struct SRig {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  COffscreenTarget target{800, 600, SRect{300, 150, 820, 640}};
  CSoftDirectDrawFactory factory{target};
  CPpu ppu{nullptr, 0, &settings};
  CDirectXEngine engine{&ppu, SPlatform{.pSettings = &settings,
                                        .pMessageBox = &messages,
                                        .pDirectDraw = &factory,
                                        .bPaceFrames = false}};

  explicit SRig(char mode = 'w') {
    settings.WriteInt("Settings", "Full Screen", mode == 'f');
    settings.WriteInt("Settings", "ResolutionX", mode == 'W' ? 512 : 256);
    settings.WriteInt("Settings", "ResolutionY", mode == 'W' ? 480 : 240);
    ppu.SetEngine(&engine);
    ppu.m_Vram[0x0010] = 0x80;  // tile 1, black but for its top-left pixel, at picture (8, 8)
    ppu.m_Vram[0x2021] = 1;
    ppu.m_BgPalette[0] = 0x0F;
    ppu.m_BgPalette[1] = 0x30;
  }
  // One frame as the loop draws it; grey fills what the next one's lines leave.
  void Frame() {
    engine.UpdateNameTable(0x2021);
    ppu.m_Mask |= 0x08;
    for (int line = 0; line < 240; ++line) engine.DrawScanline(static_cast<BYTE>(line));
    engine.EndFrame();
    engine.ClearScreen(9, 9, 9);
  }
  std::pair<int, int> Live() const { return {factory.LiveObjects(), factory.LiveSurfaces()}; }
};
}  // namespace

TEST(DirectXEngine, SetUpFailuresSwitchesAndWhereThePictureLands) {
  using S = EDirectDrawStep;
  // The engine's messages by letter, each after "Unable to ".
  const std::map<char, std::string> kSay = {
      {'D', "create DirectDraw objects."},          {'F', "set full screen mode."},
      {'W', "set windowed screen mode."},           {'L', "set cooperative level."},
      {'P', "create the primary surface."},         {'B', "create the back buffer surface."},
      {'S', "create the NES screen surface."},      {'G', "create the background cache surface."},
      {'N', "create the name table cache surface."}};
  const struct {
    const char* pszModes;                   // the first mode, '>' for a switch, the mode then
    std::vector<std::pair<S, int>> faults;  // the call of each step to fail, 0: every call
    const char* pszSay;                     // the messages, by letter
    std::uint32_t shown;                    // where the pixel at picture (8, 8) lands
  } cases[] = {
      // clang-format off
      {"ww", {}, "", kWhite},
      {"WW", {}, "", kWhite},
      {"ff", {}, "", kWhite},
      {"fw", {{S::CooperativeFullScreen, 1}}, "F", kWhite},
      {"w>f", {}, "", kWhite},
      {"f>w", {}, "", kWhite},
      {"w>w", {{S::CooperativeFullScreen, 1}}, "L", kWhite},
      {"ww", {{S::Create, 1}}, "D", 0},
      {"ww", {{S::CooperativeWindowed, 0}, {S::CreatePrimary, 0}, {S::CreateOffscreen, 0}},
       "WPBSGN", 0},
      {"ww", {{S::CreateOffscreen, 3}}, "G", kWhite},
      {"ww", {{S::CreateOffscreen, 4}}, "N", kGrey},
      {"ff", {{S::CreatePrimary, 1}}, "P", 0},  // and so no back buffer to get
      {"ff", {{S::GetAttachedSurface, 1}}, "B", 0},
      {"ff", {{S::CreateOffscreen, 3}}, "N", kGrey},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    const char first = c.pszModes[0], last = c.pszModes[std::string(c.pszModes).size() - 1];
    SRig rig(first);
    for (const auto& [step, nCall] : c.faults) rig.factory.FailStep(step, nCall);
    rig.ppu.Reset();
    if (c.pszModes[1] == '>') rig.engine.ToggleFullScreen();
    std::vector<std::string> said;
    for (const char* p = c.pszSay; *p; ++p) said.push_back("Unable to " + kSay.at(*p));
    // Whatever is missing the engine draws on, and the sprite-0 hit is the game's.
    rig.ppu.m_SpriteRam[0] = 9;
    for (int i = 0; i < 2; ++i) rig.Frame();
    // The pixel lands at (100, 110) on the display or at (3, 3) in the window
    // (which is partly off the display), as one display pixel or as 2 x 2.
    const int s = last == 'W' ? 2 : 1, x = (last == 'f' ? 100 : 3) + 8 * s + s - 1,
              y = (last == 'f' ? 110 : 3) + 8 * s + s - 1;
    EXPECT_EQ(std::make_tuple(rig.messages.Messages(), rig.ppu.m_bFullScreen,
                              rig.ppu.m_Status & 0x40, rig.target.Picture().At(x, y)),
              std::make_tuple(said, BYTE(last == 'f'), 0x40, c.shown));
    // Init again starts afresh without a leak, and Shutdown leaves nothing.
    rig.factory.ClearFaults();
    rig.ppu.Reset();
    EXPECT_EQ(rig.Live(), std::make_pair(1, 5));
    rig.engine.Shutdown();
    EXPECT_EQ(rig.Live(), std::make_pair(0, 0));
  }
}

// Random stretched and clipped copies, onto the surface itself or another, on
// small surfaces: a destination pixel inside both rectangles and the surface
// takes the source pixel under its centre, if that lies inside the source.
// Fills, single pixels and plain copies draw every DirectX picture.
TEST(SoftDirectDraw, StretchedCopiesTakeThePixelUnderEachCentreAtEveryEdge) {
  SRig rig;
  IDirectDraw* pDraw = nullptr;
  ASSERT_EQ(rig.factory.DirectDrawCreate(&pDraw), DD_OK);
  std::mt19937 random(2024);
  auto number = [&random](int n0, int n1) { return std::uniform_int_distribution(n0, n1)(random); };
  auto in = [](const SSurfacePixels& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.nWidth && y < s.nHeight;
  };
  for (int nCase = 0; nCase < 4000; ++nCase) {
    IDirectDrawSurface* p[2] = {};
    SSurfacePixels px[2];
    std::vector<DWORD> was[2];
    SRect rc[2];  // destination, source
    for (int i = 0; i < 2; ++i) {
      const SSurfaceDesc desc{sizeof(desc), DDSD_WIDTH | DDSD_HEIGHT, DWORD(number(1, 7)),
                              DWORD(number(1, 7))};
      ASSERT_EQ(pDraw->CreateSurface(&desc, &p[i]), DD_OK);
      p[i]->Lock(px[i]);
      for (int k = 0; k < px[i].nWidth * px[i].nHeight; ++k)
        was[i].push_back(px[i].pPixels[k] = number(0, 0xFFFFFF));
      rc[i] = {number(-4, 9), number(-4, 9), number(-4, 12), number(-4, 12)};
    }
    const int nFrom = number(0, 1);
    const SSurfacePixels &dst = px[0], &src = px[nFrom];
    const bool bEmpty = rc[0].IsEmpty() || rc[1].IsEmpty();
    EXPECT_EQ(p[0]->Blt(&rc[0], p[nFrom], &rc[1], 0, nullptr), bEmpty ? DDERR_INVALIDRECT : DD_OK)
        << "case " << nCase;
    std::vector<DWORD> after = was[0];
    for (int y = rc[0].top; y < rc[0].bottom && !bEmpty; ++y)
      for (int x = rc[0].left; x < rc[0].right; ++x) {
        const int sx =
            rc[1].left + int(std::floor((x - rc[0].left + 0.5) * rc[1].Width() / rc[0].Width()));
        const int sy =
            rc[1].top + int(std::floor((y - rc[0].top + 0.5) * rc[1].Height() / rc[0].Height()));
        if (in(dst, x, y) && in(src, sx, sy))
          after[y * dst.nWidth + x] = was[nFrom][sy * src.nWidth + sx];
      }
    ASSERT_EQ(std::vector<DWORD>(dst.pPixels, dst.pPixels + after.size()), after)
        << "case " << nCase;
    for (auto* pSurface : p) pSurface->Release();
  }
  pDraw->Release();
}
