// What the pictures cannot show of the DirectX engine and the software drawing
// objects under it: the set-up calls, each failing step's message and what
// follows it, the mode switches, leaks, where the picture lands, and the
// surfaces' own rules. How frames look is decided by GoldenImageTest.cpp and
// FrameStateTest.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
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
using Log = std::vector<std::string>;
const Log kWin = {
    "DirectDrawCreate",         "SetCooperativeLevel(0x0A)", "CreatePrimary",
    "CreateOffscreen(256x240)", "CreateOffscreen(256x240)",  "CreateOffscreen(256x240)",
    "CreateOffscreen(512x480)"};
const Log kFull = {"DirectDrawCreate",         "SetCooperativeLevel(0x13)",
                   "CreatePrimary(flip 1)",    "GetAttachedSurface",
                   "CreateOffscreen(256x240)", "CreateOffscreen(256x240)",
                   "CreateOffscreen(512x480)"};
const std::uint32_t kWhite = PackRgb(255, 255, 255), kGrey = PackRgb(9, 9, 9), kNone = 1;

// a, then b from its nFrom-th call on.
Log Cat(Log a, const Log& b, std::size_t nFrom = 0) {
  a.insert(a.end(), b.begin() + nFrom, b.end());
  return a;
}

// The engine on an 800 x 600 display, the window's client area at (300, 150)
// and partly off it,
// started windowed ('w'), windowed at 512 x 480 ('W') or full screen ('f'):
// the PPU's reset reads the mode and size from the settings.
struct SRig {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  COffscreenTarget target{800, 600, SRect{300, 150, 820, 640}};
  CSoftDirectDrawFactory factory{target};
  CPpu ppu{nullptr, 0, &settings};
  std::unique_ptr<CDirectXEngine> engine =
      std::make_unique<CDirectXEngine>(&ppu, SPlatform{.pSettings = &settings,
                                                       .pMessageBox = &messages,
                                                       .pDirectDraw = &factory,
                                                       .bPaceFrames = false});

  explicit SRig(char mode = 'w') {
    settings.WriteInt("Settings", "Full Screen", mode == 'f');
    settings.WriteInt("Settings", "ResolutionX", mode == 'W' ? 512 : 256);
    settings.WriteInt("Settings", "ResolutionY", mode == 'W' ? 480 : 240);
    ppu.SetEngine(engine.get());
    ppu.m_Vram[0x0010] = 0x80;  // tile 1, black but for its top-left pixel, at picture (8, 8)
    ppu.m_Vram[0x2021] = 1;
    ppu.m_BgPalette[0] = 0x0F;
    ppu.m_BgPalette[1] = 0x30;
  }
  // One frame as the loop draws it; grey fills what the next one's lines leave.
  void Frame() {
    engine->UpdateNameTable(0x2021);
    ppu.m_Mask |= 0x08;
    for (int line = 0; line < 240; ++line) engine->DrawScanline(static_cast<BYTE>(line));
    engine->EndFrame();
    engine->ClearScreen(9, 9, 9);
  }
  std::uint32_t Shown(int x, int y) {
    SImage image;
    return engine->CapturePicture(image) ? image.At(x, y) : kNone;
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
    std::uint32_t shown;                    // at picture (8, 8)
    Log log = {};                           // the set-up calls, when given
  } cases[] = {
      // clang-format off
      {"ww", {}, "", kWhite, kWin},
      // Windowed at 512 x 480 the back buffer is as large.
      {"WW", {}, "", kWhite, Cat(Cat(Log(kWin.begin(), kWin.begin() + 3), {kWin[6]}), kWin, 4)},
      {"ff", {}, "", kWhite, kFull},
      {"fw", {{S::CooperativeFullScreen, 1}}, "F", kWhite,
       Cat({"DirectDrawCreate", "SetCooperativeLevel(0x13) failed"}, kWin)},
      {"w>f", {}, "", kWhite, Cat(kWin, kFull, 1)},
      {"f>w", {}, "", kWhite, Cat(kFull, kWin, 1)},
      {"w>w", {{S::CooperativeFullScreen, 1}}, "L", kWhite,
       Cat(Cat(kWin, {"SetCooperativeLevel(0x13) failed"}), kWin, 2)},
      {"f>f", {{S::CooperativeWindowed, 1}}, "L", kWhite,
       Cat(kFull, {"SetCooperativeLevel(0x0A) failed"})},
      {"ww", {{S::Create, 1}}, "D", kNone, {"DirectDrawCreate failed"}},
      {"ww", {{S::CooperativeWindowed, 0}, {S::CreatePrimary, 0}, {S::CreateOffscreen, 0}},
       "WPBSGN", kNone},
      {"ww", {{S::CreateOffscreen, 3}}, "G", kWhite},
      {"ww", {{S::CreateOffscreen, 4}}, "N", kGrey},
      {"ff", {{S::CreatePrimary, 1}}, "P", kNone},  // and so no back buffer to get
      {"ff", {{S::GetAttachedSurface, 1}}, "B", kNone},
      {"ff", {{S::CreateOffscreen, 3}}, "N", kGrey},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    const char first = c.pszModes[0], last = c.pszModes[std::string(c.pszModes).size() - 1];
    SRig rig(first);
    for (const auto& [step, nCall] : c.faults) rig.factory.FailStep(step, nCall);
    rig.ppu.Reset();
    if (c.pszModes[1] == '>') rig.engine->ToggleFullScreen();
    Log said;
    for (const char* p = c.pszSay; *p; ++p) said.push_back("Unable to " + kSay.at(*p));
    // Whatever is missing the engine draws on, and the sprite-0 hit is the game's.
    rig.engine->DrawPalettes();
    rig.ppu.m_SpriteRam[0] = 9;
    rig.Frame();
    rig.Frame();
    EXPECT_EQ(std::make_tuple(rig.factory.CallLog(), rig.messages.Messages(), rig.ppu.m_bFullScreen,
                              rig.ppu.m_Status & 0x40, rig.Shown(8, 8)),
              std::make_tuple(c.log.empty() ? rig.factory.CallLog() : c.log, said,
                              BYTE(last == 'f'), 0x40, c.shown));
    EXPECT_EQ(rig.settings.GetInt("Settings", "Full Screen", -1), first == 'f') << "no setting";
    // The white pixel lands at (100, 110) on the display or at (3, 3) in the
    // window, as one display pixel or as 2 x 2; the window off the display is black.
    const SImage shown = rig.target.Picture();
    const int s = last == 'W' ? 2 : 1, x = (last == 'f' ? 100 : 3) + 8 * s,
              y = (last == 'f' ? 110 : 3) + 8 * s;
    if (c.shown == kWhite) {
      EXPECT_EQ(std::vector({shown.At(x - 1, y), shown.At(x, y), shown.At(x + s - 1, y + s - 1),
                             shown.At(x + s, y), shown.At(519, 489)}),
                std::vector({0u, kWhite, kWhite, 0u, 0u}));
      rig.target.MoveClient(SRect{100, 50, 620, 540});  // the picture follows the window
      rig.Frame();
      EXPECT_EQ(rig.target.Picture().At(x, y), kWhite);
      // Fine scroll (3, 2): line 238 reads row 240, that is row 0 of the
      // right half from x 259, whose last three pixels would lie past the cache.
      rig.ppu.m_nFineX = 3;
      rig.ppu.m_nFineY = 2;
      rig.Frame();
      rig.Frame();
      EXPECT_EQ(std::vector({rig.Shown(252, 238), rig.Shown(253, 238)}), std::vector({0u, kGrey}));
    }
    // Init again starts afresh without a leak; after Shutdown (twice) the
    // last picture stays, nothing else does, and there is no mode to switch.
    rig.messages.Clear();
    rig.factory.ClearFaults();
    rig.ppu.Reset();
    EXPECT_EQ(rig.Live(), std::make_pair(1, 5));
    rig.Frame();
    rig.engine->Shutdown();
    rig.engine->Shutdown();
    rig.engine->ToggleFullScreen();
    EXPECT_EQ(std::make_tuple(rig.Live(), rig.Shown(8, 8), rig.messages.Messages()),
              std::make_tuple(std::make_pair(0, 0), kWhite, Log{}));
    rig.ppu.Reset();
    rig.engine.reset();  // as the machine does on an engine change
    EXPECT_EQ(rig.Live(), std::make_pair(0, 0));
  }
  // Without a factory there are no drawing objects, and nothing is shown.
  CPpu ppu(nullptr, 0);
  CDirectXEngine bare(&ppu, SPlatform{});
  bare.Init();
  bare.EndFrame();
  SImage picture;
  EXPECT_FALSE(bare.CapturePicture(picture));
}

// Random fills, pixels and copies (stretched, clipped, onto themselves) on
// small surfaces, each against its definition: a destination pixel inside both
// rectangles and the surface takes the source pixel under its centre, if that
// lies inside the source; fills and pixels stay inside the surface.
TEST(SoftDirectDraw, FillsSetsAndCopiesAsDefinedAtEveryEdge) {
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
    // 0 a fill, 1 a pixel, 2 BltFast, else Blt; from the surface itself or the other.
    const int nKind = number(0, 4), nFrom = number(0, 1);
    const SSurfacePixels &dst = px[0], &src = px[nFrom];
    if (nKind == 1) rc[0] = {rc[0].left, rc[0].top, rc[0].left + 1, rc[0].top + 1};
    if (nKind == 2)
      rc[0] = {rc[0].left, rc[0].top, rc[0].left + rc[1].Width(), rc[0].top + rc[1].Height()};
    const DWORD color = number(0, 0x7FFFFFFF);
    const SBltFx fx{static_cast<DWORD>(number(0, 5) ? sizeof(SBltFx) : 0), color};
    const HRESULT hr = nKind == 0   ? p[0]->Blt(&rc[0], nullptr, nullptr, DDBLT_COLORFILL, &fx)
                       : nKind == 1 ? p[0]->SetPixel(rc[0].left, rc[0].top, color)
                       : nKind == 2 ? p[0]->BltFast(rc[0].left, rc[0].top, p[nFrom], &rc[1], 0)
                                    : p[0]->Blt(&rc[0], p[nFrom], &rc[1], 0, nullptr);
    HRESULT expected =
        rc[0].IsEmpty() || (nKind > 1 && rc[1].IsEmpty()) ? DDERR_INVALIDRECT : DD_OK;
    if ((nKind == 0 && !expected && !fx.dwSize) || (nKind == 1 && !in(dst, rc[0].left, rc[0].top)))
      expected = DDERR_INVALIDPARAMS;
    std::vector<DWORD> after = was[0];
    for (int y = rc[0].top; y < rc[0].bottom && !expected; ++y)
      for (int x = rc[0].left; x < rc[0].right; ++x) {
        const int sx =
            rc[1].left + int(std::floor((x - rc[0].left + 0.5) * rc[1].Width() / rc[0].Width()));
        const int sy =
            rc[1].top + int(std::floor((y - rc[0].top + 0.5) * rc[1].Height() / rc[0].Height()));
        if (in(dst, x, y) && (nKind < 2 || in(src, sx, sy)))
          after[y * dst.nWidth + x] = nKind == 0   ? color
                                      : nKind == 1 ? color & 0xFFFFFF
                                                   : was[nFrom][sy * src.nWidth + sx];
      }
    EXPECT_EQ(hr, expected) << "case " << nCase;
    ASSERT_EQ(std::vector<DWORD>(dst.pPixels, dst.pPixels + after.size()), after)
        << "case " << nCase;
    for (auto* pSurface : p) pSurface->Release();
  }
  // The flip swaps the buffers; the chain holds its back buffer.
  IDirectDrawSurface *pFront = nullptr, *pBack = nullptr;
  const SSurfaceDesc chain{.dwSize = sizeof(SSurfaceDesc),
                           .dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                           .dwBackBufferCount = 1,
                           .dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX};
  ASSERT_EQ(pDraw->CreateSurface(&chain, &pFront), DD_OK);
  ASSERT_EQ(pFront->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DD_OK);
  const SBltFx fx{sizeof(SBltFx), 0x0A0B0C};
  pBack->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  pBack->Release();
  EXPECT_EQ(pFront->Flip(nullptr, 0), DD_OK);
  SSurfacePixels front, back;
  pFront->Lock(front);
  pBack->Lock(back);
  EXPECT_EQ(std::vector({front.pPixels[0], back.pPixels[0]}), std::vector<DWORD>({0x0A0B0C, 0}));
  EXPECT_EQ(rig.Live(), std::make_pair(1, 2));
  pFront->Release();
  pDraw->Release();
  EXPECT_EQ(rig.Live(), std::make_pair(0, 0));
}
