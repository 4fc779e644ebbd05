#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/OffscreenTarget.h"
#include "platform/Platform.h"
#include "platform/SoftDirectDraw.h"
#include "ppu/Ppu.h"
#include "video/DirectXEngine.h"
#include "video/EngineFactory.h"

namespace {
constexpr int kClientX = 40;
constexpr int kClientY = 30;

const char* const kNoDirectDraw = "Unable to create DirectDraw objects.";
const char* const kNoFullScreen = "Unable to set full screen mode.";
const char* const kNoWindowed = "Unable to set windowed screen mode.";
const char* const kNoPrimary = "Unable to create the primary surface.";
const char* const kNoBackBuffer = "Unable to create the back buffer surface.";
const char* const kNoNesScreen = "Unable to create the NES screen surface.";
const char* const kNoBackgroundCache = "Unable to create the background cache surface.";
const char* const kNoNameTableCache = "Unable to create the name table cache surface.";
const char* const kNoLevel = "Unable to set cooperative level.";

using Messages = std::vector<std::string>;

struct EngineRig {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  COffscreenTarget target{800, 600, SRect{kClientX, kClientY, kClientX + 520, kClientY + 490}};
  CSoftDirectDrawFactory factory{target};
  CPpu ppu{nullptr, 0, &settings};
  SPlatform platform;
  std::unique_ptr<CDirectXEngine> engine;

  explicit EngineRig(bool bFullScreen = false) {
    platform.pSettings = &settings;
    platform.pMessageBox = &messages;
    platform.pDirectDraw = &factory;
    platform.bPaceFrames = false;
    engine = std::make_unique<CDirectXEngine>(&ppu, platform);
    ppu.SetEngine(engine.get());
    ppu.m_bFullScreen = bFullScreen ? 1 : 0;
  }

  // One frame as the loop and the PPU drive it, background shown.
  void Frame(BYTE backdropR = 0, BYTE backdropG = 0, BYTE backdropB = 0) {
    ppu.m_Mask |= 0x08;
    for (int line = 0; line < 240; ++line) engine->DrawScanline(static_cast<BYTE>(line));
    engine->EndFrame();
    engine->ClearScreen(backdropR, backdropG, backdropB);
  }
  SImage Picture() {
    SImage image;
    EXPECT_TRUE(engine->CapturePicture(image));
    return image;
  }
  // Draws every tile of both name tables as they are in VRAM.
  void DrawAllTiles() {
    for (int a = 0x2000; a < 0x2800; ++a)
      if ((a & 0x3FF) < 0x3C0) engine->UpdateNameTable(static_cast<WORD>(a));
  }
};

std::uint32_t Master(const CPpu& ppu, int index) {
  return PackRgb(ppu.m_RgbPalette[index][0], ppu.m_RgbPalette[index][1],
                 ppu.m_RgbPalette[index][2]);
}

const std::vector<std::string> kWindowedSetUp = {
    "DirectDrawCreate",         "SetCooperativeLevel(0x0A)", "CreatePrimary",
    "CreateOffscreen(256x240)", "CreateOffscreen(256x240)",  "CreateOffscreen(256x240)",
    "CreateOffscreen(512x480)",
};
const std::vector<std::string> kFullScreenSetUp = {
    "DirectDrawCreate",         "SetCooperativeLevel(0x13)", "CreatePrimary(flip 1)",
    "GetAttachedSurface",       "CreateOffscreen(256x240)",  "CreateOffscreen(256x240)",
    "CreateOffscreen(512x480)",
};
}  // namespace

TEST(DirectXEngine, FactoryBuildsItByName) {
  EngineRig rig;
  std::unique_ptr<CGraphicEngine> engine(
      CreateGraphicEngine("DirectX", &rig.ppu, rig.platform, false));
  EXPECT_NE(dynamic_cast<CDirectXEngine*>(engine.get()), nullptr);
  std::unique_ptr<CGraphicEngine> other(
      CreateGraphicEngine("directx", &rig.ppu, rig.platform, false));
  EXPECT_EQ(dynamic_cast<CDirectXEngine*>(other.get()), nullptr);
}

TEST(DirectXEngine, WindowedSetUpOrder) {
  EngineRig rig;
  rig.engine->Init();
  EXPECT_EQ(rig.factory.CallLog(), kWindowedSetUp);
  EXPECT_TRUE(rig.messages.Messages().empty());
  EXPECT_EQ(rig.factory.LiveSurfaces(), 5);
}

TEST(DirectXEngine, FullScreenSetUpOrder) {
  EngineRig rig(true);
  rig.engine->Init();
  EXPECT_EQ(rig.factory.CallLog(), kFullScreenSetUp);
  EXPECT_TRUE(rig.messages.Messages().empty());
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
}

TEST(DirectXEngine, BackBufferTakesItsSizeFromTheSettings) {
  EngineRig rig;
  rig.settings.WriteInt("Settings", "ResolutionX", 640);
  rig.settings.WriteInt("Settings", "ResolutionY", 400);
  rig.engine->Init();
  EXPECT_EQ(rig.factory.CallLog()[3], "CreateOffscreen(640x400)");
}

TEST(DirectXEngine, PpuResetLoadsTheModeAndInitsTheEngine) {
  EngineRig rig;
  rig.settings.WriteInt("Settings", "Full Screen", 1);
  rig.ppu.Reset();
  EXPECT_EQ(rig.factory.CallLog(), kFullScreenSetUp);
}

namespace {
struct SFailureCase {
  const char* pName;
  bool bFullScreen;
  EDirectDrawStep step;
  int nCall;
  Messages expected;
};

const std::vector<SFailureCase>& FailureCases() {
  static const std::vector<SFailureCase> cases = {
      {"windowed object", false, EDirectDrawStep::Create, 1, {kNoDirectDraw}},
      {"windowed level", false, EDirectDrawStep::CooperativeWindowed, 1, {kNoWindowed}},
      {"windowed primary", false, EDirectDrawStep::CreatePrimary, 1, {kNoPrimary}},
      {"windowed back buffer", false, EDirectDrawStep::CreateOffscreen, 1, {kNoBackBuffer}},
      {"windowed NES screen", false, EDirectDrawStep::CreateOffscreen, 2, {kNoNesScreen}},
      {"windowed background cache",
       false,
       EDirectDrawStep::CreateOffscreen,
       3,
       {kNoBackgroundCache}},
      {"windowed name table cache",
       false,
       EDirectDrawStep::CreateOffscreen,
       4,
       {kNoNameTableCache}},
      {"full-screen object", true, EDirectDrawStep::Create, 1, {kNoDirectDraw}},
      {"full-screen level", true, EDirectDrawStep::CooperativeFullScreen, 1, {kNoFullScreen}},
      {"full-screen primary", true, EDirectDrawStep::CreatePrimary, 1, {kNoPrimary}},
      {"full-screen back buffer", true, EDirectDrawStep::GetAttachedSurface, 1, {kNoBackBuffer}},
      {"full-screen NES screen", true, EDirectDrawStep::CreateOffscreen, 1, {kNoNesScreen}},
      {"full-screen background cache",
       true,
       EDirectDrawStep::CreateOffscreen,
       2,
       {kNoBackgroundCache}},
      {"full-screen name table cache",
       true,
       EDirectDrawStep::CreateOffscreen,
       3,
       {kNoNameTableCache}},
  };
  return cases;
}
}  // namespace

TEST(DirectXEngine, EachFailedSetUpStepShowsItsMessageAndDrawingCarriesOn) {
  for (const SFailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.pName);
    EngineRig rig(c.bFullScreen);
    // A tile, so that every drawing path has work to do.
    rig.ppu.m_Vram[0x0010] = 0xFF;
    rig.ppu.m_Vram[0x2000] = 1;
    rig.ppu.m_BgPalette[1] = 0x16;
    rig.factory.FailStep(c.step, c.nCall);
    rig.engine->Init();
    EXPECT_EQ(rig.messages.Messages(), c.expected);

    // Whatever is missing, the engine draws on without crashing.
    rig.engine->UpdateNameTable(0x2000);
    rig.engine->UpdateNameTable(0x23C0);
    rig.engine->DrawPalettes();
    rig.engine->DrawPatternTables();
    rig.ppu.m_SpriteRam[0] = 9;
    rig.Frame(1, 2, 3);
    rig.Frame(1, 2, 3);
    EXPECT_TRUE(rig.ppu.m_Status & 0x40) << "the sprite-0 hit does not depend on surfaces";

    // Nothing is shown without the drawing object, the primary, the back
    // buffer or the picture surface.
    SImage image;
    const bool bShown = rig.engine->CapturePicture(image);
    const bool bMissingPicturePath =
        c.step == EDirectDrawStep::Create || c.step == EDirectDrawStep::CreatePrimary ||
        c.step == EDirectDrawStep::GetAttachedSurface ||
        (c.step == EDirectDrawStep::CreateOffscreen && !c.bFullScreen && c.nCall <= 2) ||
        (c.step == EDirectDrawStep::CreateOffscreen && c.bFullScreen && c.nCall == 1);
    EXPECT_EQ(bShown, !bMissingPicturePath);
    if (bShown) {
      // Without the name-table cache only the backdrop is shown.
      const bool bNoCache =
          c.step == EDirectDrawStep::CreateOffscreen && c.nCall == (c.bFullScreen ? 3 : 4);
      EXPECT_EQ(image.At(0, 0), bNoCache ? PackRgb(1, 2, 3) : PackRgb(248, 56, 0));
    }
    if (c.step == EDirectDrawStep::Create) {
      EXPECT_EQ(rig.target.PresentCount(), 0);
    }

    // The next Init starts afresh and draws again.
    rig.messages.Clear();
    rig.engine->Init();
    EXPECT_TRUE(rig.messages.Messages().empty());
    rig.engine->UpdateNameTable(0x2000);
    rig.Frame();
    EXPECT_EQ(rig.Picture().At(0, 0), PackRgb(248, 56, 0));

    rig.engine->Shutdown();
    EXPECT_EQ(rig.factory.LiveSurfaces(), 0);
    EXPECT_EQ(rig.factory.LiveObjects(), 0);
  }
}

TEST(DirectXEngine, FailedFullScreenRetriesWindowed) {
  EngineRig rig(true);
  rig.factory.FailStep(EDirectDrawStep::CooperativeFullScreen);
  rig.engine->Init();
  EXPECT_EQ(rig.messages.Messages(), Messages{kNoFullScreen});
  EXPECT_EQ(rig.ppu.m_bFullScreen, 0);
  std::vector<std::string> expected = {"DirectDrawCreate", "SetCooperativeLevel(0x13) failed"};
  expected.insert(expected.end(), kWindowedSetUp.begin(), kWindowedSetUp.end());
  EXPECT_EQ(rig.factory.CallLog(), expected);
  // The first object is gone; only the windowed set-up remains.
  EXPECT_EQ(rig.factory.LiveObjects(), 1);
  EXPECT_EQ(rig.factory.LiveSurfaces(), 5);
  rig.Frame();
  EXPECT_FALSE(rig.target.LastWasFullScreen());
}

TEST(DirectXEngine, MessagesComeInSetUpOrder) {
  {
    EngineRig rig;
    rig.factory.FailStep(EDirectDrawStep::CooperativeWindowed, 0);
    rig.factory.FailStep(EDirectDrawStep::CreatePrimary, 0);
    rig.factory.FailStep(EDirectDrawStep::CreateOffscreen, 0);
    rig.engine->Init();
    EXPECT_EQ(rig.messages.Messages(),
              (Messages{kNoWindowed, kNoPrimary, kNoBackBuffer, kNoNesScreen, kNoBackgroundCache,
                        kNoNameTableCache}));
    rig.Frame();
    EXPECT_EQ(rig.target.PresentCount(), 0);
  }
  {
    EngineRig rig(true);
    rig.factory.FailStep(EDirectDrawStep::CooperativeFullScreen, 0);
    rig.factory.FailStep(EDirectDrawStep::CooperativeWindowed, 0);
    rig.factory.FailStep(EDirectDrawStep::CreateOffscreen, 2);
    rig.engine->Init();
    EXPECT_EQ(rig.messages.Messages(), (Messages{kNoFullScreen, kNoWindowed, kNoNesScreen}));
  }
  {
    // A full-screen primary that cannot be made leaves no chain to take the
    // back buffer from; that step is skipped.
    EngineRig rig(true);
    rig.factory.FailStep(EDirectDrawStep::CreatePrimary);
    rig.engine->Init();
    EXPECT_EQ(rig.messages.Messages(), Messages{kNoPrimary});
  }
}

TEST(DirectXEngine, WithoutDrawingObjectsNothingElseIsTried) {
  EngineRig rig(true);
  rig.factory.FailStep(EDirectDrawStep::Create);
  rig.engine->Init();
  EXPECT_EQ(rig.factory.CallLog(), std::vector<std::string>{"DirectDrawCreate failed"});
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  rig.engine->ToggleFullScreen();
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  EXPECT_EQ(rig.messages.Messages(), Messages{kNoDirectDraw});

  CDirectXEngine noFactory(&rig.ppu, SPlatform{});
  noFactory.Init();
  noFactory.EndFrame();
  SImage image;
  EXPECT_FALSE(noFactory.CapturePicture(image));
}

TEST(DirectXEngine, BackgroundTilesUseTheAttributeQuadrantsInMasterColours) {
  EngineRig rig;
  CPpu& ppu = rig.ppu;
  // Tile 1: columns with colour values 0, 1, 2, 3, 0, 1, 2, 3 on every row.
  for (int r = 0; r < 8; ++r) {
    ppu.m_Vram[0x10 + r] = 0x55;
    ppu.m_Vram[0x18 + r] = 0x33;
  }
  const BYTE palette[16] = {0x21, 0x01, 0x16, 0x2A, 0x00, 0x05, 0x12, 0x27,
                            0x00, 0x30, 0x06, 0x09, 0x00, 0x14, 0x1C, 0x38};
  std::copy(palette, palette + 16, ppu.m_BgPalette);
  // One tile in each quadrant of the first 32 x 32 block.
  ppu.m_Vram[0x2000 + 0 * 32 + 0] = 1;  // top left
  ppu.m_Vram[0x2000 + 1 * 32 + 3] = 1;  // top right
  ppu.m_Vram[0x2000 + 2 * 32 + 1] = 1;  // bottom left
  ppu.m_Vram[0x2000 + 3 * 32 + 2] = 1;  // bottom right
  ppu.m_Vram[0x23C0] = 0b11'10'01'00;
  rig.engine->Init();
  rig.engine->UpdateNameTable(0x23C0);  // redraws the 16 tiles under it
  rig.Frame();
  const SImage picture = rig.Picture();

  struct {
    int tx, ty, select;
  } const tiles[] = {{0, 0, 0}, {3, 1, 1}, {1, 2, 2}, {2, 3, 3}};
  for (const auto& t : tiles)
    for (int c = 0; c < 8; ++c) {
      const int v = c & 3;
      const int index = v ? palette[t.select * 4 + v] : palette[0];
      EXPECT_EQ(picture.At(t.tx * 8 + c, t.ty * 8 + 5), Master(ppu, index))
          << "tile " << t.tx << "," << t.ty << " column " << c;
    }
  // The master palette's own numbers, so that no channel is swapped.
  EXPECT_EQ(picture.At(0, 0), PackRgb(63, 191, 255));
  EXPECT_EQ(picture.At(1, 0), PackRgb(0, 0, 255));
  EXPECT_EQ(picture.At(2, 0), PackRgb(248, 56, 0));
  EXPECT_EQ(picture.At(3, 0), PackRgb(91, 219, 87));
  EXPECT_EQ(picture.At(24 + 1, 8), PackRgb(171, 0, 35));
  EXPECT_EQ(picture.At(8 + 1, 16), PackRgb(255, 255, 255));
  EXPECT_EQ(picture.At(16 + 3, 24), PackRgb(251, 219, 123));
  // A blank tile under the attribute shows colour 0; tiles never drawn stay black.
  EXPECT_EQ(picture.At(8, 0), PackRgb(63, 191, 255));
  EXPECT_EQ(picture.At(40, 0), 0u);
}

TEST(DirectXEngine, SecondTableAndBackgroundPatternTable) {
  EngineRig rig;
  CPpu& ppu = rig.ppu;
  ppu.m_bVertical = 1;
  ppu.m_Vram[0x1000 + 0x20] = 0x80;  // tile 2 of the table at 0x1000: one pixel
  ppu.m_Vram[0x0020] = 0x01;         // tile 2 of the table at 0x0000: another
  ppu.m_BgPalette[0] = 0x0F;
  ppu.m_BgPalette[9] = 0x2A;
  // Table 0x2400, tile (5, 0): attribute byte 0x27C1, top-left quadrant.
  ppu.m_Vram[0x2400 + 5] = 2;
  ppu.m_Vram[0x27C1] = 0x02;
  ppu.m_Control = 0x10 | 0x01;  // patterns at 0x1000, frame starts at table 0x2400
  rig.engine->Init();
  rig.engine->UpdateNameTable(0x2405);
  rig.Frame();
  SImage picture = rig.Picture();
  EXPECT_EQ(picture.At(40, 0), PackRgb(91, 219, 87));
  EXPECT_EQ(picture.At(47, 0), Master(ppu, 0x0F));

  ppu.m_Control = 0x01;  // patterns at 0x0000 now
  rig.engine->UpdateNameTable(0x2405);
  rig.Frame();
  picture = rig.Picture();
  EXPECT_EQ(picture.At(40, 0), Master(ppu, 0x0F));
  EXPECT_EQ(picture.At(47, 0), PackRgb(91, 219, 87));
}

TEST(DirectXEngine, AttributeByteRedrawsTheTilesUnderItThroughTheVirtualSlot) {
  struct CCounting : CDirectXEngine {
    using CDirectXEngine::CDirectXEngine;
    void UpdateNameTable(WORD addr) override {
      calls.push_back(addr);
      CDirectXEngine::UpdateNameTable(addr);
    }
    std::vector<WORD> calls;
  };
  EngineRig rig;
  CCounting engine(&rig.ppu, rig.platform);
  engine.Init();
  engine.UpdateNameTable(0x23C9);  // second row, second byte
  ASSERT_EQ(engine.calls.size(), 17u);
  EXPECT_EQ(engine.calls[1], 0x2000 + 4 * 32 + 4);
  EXPECT_EQ(engine.calls[16], 0x2000 + 7 * 32 + 7);
  engine.calls.clear();
  engine.UpdateNameTable(0x27F8);  // last row: only two tile rows exist
  const std::vector<WORD> expected = {0x27F8, 0x2780, 0x2781, 0x2782, 0x2783,
                                      0x27A0, 0x27A1, 0x27A2, 0x27A3};
  EXPECT_EQ(engine.calls, expected);
}

namespace {
// Markers: single pixels of colour 1 in tiles of both tables, everything else
// colour 0.
void SetUpMarkers(EngineRig& rig) {
  CPpu& ppu = rig.ppu;
  ppu.m_Vram[0x10] = 0x80;  // tile 1: pixel (0, 0)
  ppu.m_Vram[0x20] = 0x10;  // tile 2: pixel (3, 0)
  ppu.m_BgPalette[0] = 0x0F;
  ppu.m_BgPalette[1] = 0x30;
  ppu.m_bVertical = 1;
  ppu.m_Vram[0x2000 + 32 + 1] = 1;  // cache (8, 8)
  ppu.m_Vram[0x2000 + 32 + 0] = 1;  // cache (0, 8)
  ppu.m_Vram[0x2400 + 32 + 0] = 1;  // cache (256, 8)
  ppu.m_Vram[0x2400 + 32 + 1] = 1;  // cache (264, 8)
  ppu.m_Vram[0x2400 + 0] = 2;       // cache (259, 0)
  rig.engine->Init();
  rig.DrawAllTiles();
}

std::vector<std::pair<int, int>> WhitePixels(const SImage& picture) {
  std::vector<std::pair<int, int>> found;
  for (int y = 0; y < picture.nHeight; ++y)
    for (int x = 0; x < picture.nWidth; ++x)
      if (picture.At(x, y) == PackRgb(255, 255, 255)) found.emplace_back(x, y);
  return found;
}
}  // namespace

TEST(DirectXEngine, OnlyTheFineScrollMovesThePicture) {
  EngineRig rig;
  SetUpMarkers(rig);
  rig.Frame();
  EXPECT_EQ(WhitePixels(rig.Picture()), (std::vector<std::pair<int, int>>{{0, 8}, {8, 8}}));

  // Coarse scroll in the address registers is ignored; fine scroll 3, 2 is used.
  rig.ppu.m_TempAddr = 0x0C45;
  rig.ppu.m_VramAddr = 0x0C45;
  rig.ppu.m_nFineX = 3;
  rig.ppu.m_nFineY = 2;
  rig.Frame(0x11, 0x22, 0x33);
  rig.Frame(0x11, 0x22, 0x33);
  const SImage picture = rig.Picture();
  // Table 0x2000 from x 3: the second table's first column appears at 253;
  // the rows past 240 come from the right table, whose right edge is clipped.
  EXPECT_EQ(WhitePixels(picture), (std::vector<std::pair<int, int>>{{5, 6}, {253, 6}, {0, 238}}));
  EXPECT_EQ(picture.At(252, 238), Master(rig.ppu, 0x0F));
  EXPECT_EQ(picture.At(253, 238), PackRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(picture.At(255, 239), PackRgb(0x11, 0x22, 0x33));
}

TEST(DirectXEngine, FrameFromTheSecondTableWrapsToTheFirst) {
  EngineRig rig;
  SetUpMarkers(rig);
  rig.ppu.m_Control = 0x01;  // vertical mirroring: table 0x2400
  rig.Frame();
  EXPECT_EQ(WhitePixels(rig.Picture()), (std::vector<std::pair<int, int>>{{3, 0}, {0, 8}, {8, 8}}));

  rig.ppu.m_nFineX = 3;
  rig.ppu.m_nFineY = 2;
  rig.Frame();
  // Two pieces: x 259-511 of the cache, then x 0-2 of the first table.
  EXPECT_EQ(WhitePixels(rig.Picture()), (std::vector<std::pair<int, int>>{{5, 6}, {253, 6}}));

  // Past line 240 the rows come from the first table's top, left half.
  rig.ppu.m_nFineY = 7;
  rig.Frame();
  const SImage picture = rig.Picture();
  EXPECT_EQ(WhitePixels(picture), (std::vector<std::pair<int, int>>{{5, 1}, {253, 1}}));
  // Line 233 reads row 240, which is row 0 of the first table from x 3.
  EXPECT_EQ(picture.At(0, 233), Master(rig.ppu, 0x0F));
}

TEST(DirectXEngine, SpriteZeroHitComesAtTheLineAfterItsY) {
  EngineRig rig;
  rig.engine->Init();
  rig.ppu.m_SpriteRam[0] = 50;
  rig.ppu.m_Mask = 0x08;
  rig.engine->DrawScanline(50);
  EXPECT_FALSE(rig.ppu.m_Status & 0x40);
  rig.engine->DrawScanline(51);
  EXPECT_TRUE(rig.ppu.m_Status & 0x40);

  // Not with the background hidden.
  rig.ppu.m_Status = 0;
  rig.ppu.m_Mask = 0x10;
  rig.engine->DrawScanline(51);
  EXPECT_FALSE(rig.ppu.m_Status & 0x40);

  // Y = 255 names no visible line.
  rig.ppu.m_Mask = 0x08;
  rig.ppu.m_SpriteRam[0] = 255;
  for (int line = 0; line < 240; ++line) rig.engine->DrawScanline(static_cast<BYTE>(line));
  EXPECT_FALSE(rig.ppu.m_Status & 0x40);
}

TEST(DirectXEngine, PaletteChangeDoesNotRecolourDrawnTiles) {
  EngineRig rig;
  CPpu& ppu = rig.ppu;
  ppu.m_Vram[0x10] = 0xFF;  // tile 1, top row all colour 1
  ppu.m_BgPalette[1] = 0x16;
  ppu.m_Vram[0x2000] = 1;
  ppu.m_Vram[0x2001] = 1;
  rig.engine->Init();
  rig.engine->UpdateNameTable(0x2000);
  rig.engine->UpdateNameTable(0x2001);
  ppu.m_BgPalette[1] = 0x2A;
  rig.engine->UpdateBgPalette(1);  // ignored by this engine
  rig.Frame();
  EXPECT_EQ(rig.Picture().At(0, 0), PackRgb(248, 56, 0));
  EXPECT_EQ(rig.Picture().At(8, 0), PackRgb(248, 56, 0));

  rig.engine->UpdateNameTable(0x2001);  // a rewrite redraws with today's colours
  rig.Frame();
  EXPECT_EQ(rig.Picture().At(0, 0), PackRgb(248, 56, 0));
  EXPECT_EQ(rig.Picture().At(8, 0), PackRgb(91, 219, 87));
}

TEST(DirectXEngine, ClearScreenFillsThePictureWithTheColour) {
  EngineRig rig;
  rig.engine->Init();
  rig.engine->ClearScreen(248, 56, 0);
  rig.ppu.m_Mask = 0;  // background hidden: no rows are copied
  rig.engine->EndFrame();
  const SImage picture = rig.Picture();
  EXPECT_EQ(picture.At(0, 0), PackRgb(248, 56, 0));
  EXPECT_EQ(picture.At(255, 239), PackRgb(248, 56, 0));
}

TEST(DirectXEngine, FullScreenShowsThePictureUnscaledAt100And110) {
  EngineRig rig(true);
  SetUpMarkers(rig);
  rig.Frame();
  EXPECT_TRUE(rig.target.LastWasFullScreen());
  const SImage display = rig.target.Picture();
  ASSERT_EQ(display.nWidth, 800);
  ASSERT_EQ(display.nHeight, 600);
  const SImage picture = rig.Picture();
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(display.At(100 + x, 110 + y), picture.At(x, y));
  EXPECT_EQ(display.At(100 + 8, 110 + 8), PackRgb(255, 255, 255));
  EXPECT_EQ(display.At(99, 110), 0u);
  EXPECT_EQ(display.At(100, 109), 0u);
  EXPECT_EQ(display.At(356, 349), 0u);

  // The next frame, through the other buffer of the chain, shows the same way.
  rig.Frame();
  EXPECT_EQ(rig.target.Picture().At(100 + 8, 110 + 8), PackRgb(255, 255, 255));
}

TEST(DirectXEngine, WindowedDefaultShowsThePictureOneToOne) {
  EngineRig rig;
  SetUpMarkers(rig);
  rig.Frame();
  EXPECT_FALSE(rig.target.LastWasFullScreen());
  const SImage client = rig.target.Picture();
  const SImage picture = rig.Picture();
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(client.At(3 + x, 3 + y), picture.At(x, y));
  EXPECT_EQ(client.At(3 + 8, 3 + 8), PackRgb(255, 255, 255));
  EXPECT_EQ(client.At(2, 3), 0u);
  EXPECT_EQ(client.At(3 + 256, 3), 0u);
}

TEST(DirectXEngine, WindowedAt512By480ShowsThePictureDoubled) {
  EngineRig rig;
  rig.settings.WriteInt("Settings", "ResolutionX", 512);
  rig.settings.WriteInt("Settings", "ResolutionY", 480);
  SetUpMarkers(rig);
  rig.Frame();
  const SImage client = rig.target.Picture();
  const SImage picture = rig.Picture();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 512; ++x) ASSERT_EQ(client.At(3 + x, 3 + y), picture.At(x / 2, y / 2));
  EXPECT_EQ(client.At(3 + 16, 3 + 16), PackRgb(255, 255, 255));
  EXPECT_EQ(client.At(3 + 17, 3 + 17), PackRgb(255, 255, 255));
  EXPECT_NE(client.At(3 + 18, 3 + 16), PackRgb(255, 255, 255));
  EXPECT_EQ(client.At(3 + 512, 3), 0u);
}

TEST(DirectXEngine, WindowedPictureFollowsTheWindow) {
  EngineRig rig;
  SetUpMarkers(rig);
  rig.Frame();
  rig.target.MoveClient(SRect{100, 50, 620, 540});
  rig.Frame();
  const SImage display = rig.target.Display();
  EXPECT_EQ(display.At(100 + 3 + 8, 50 + 3 + 8), PackRgb(255, 255, 255));
}

TEST(DirectXEngine, ToggleFullScreenSwitchesAndRemakesTheSurfaces) {
  EngineRig rig;
  SetUpMarkers(rig);
  rig.factory.ClearCallLog();
  rig.engine->ToggleFullScreen();
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  EXPECT_TRUE(rig.messages.Messages().empty());
  std::vector<std::string> expected(kFullScreenSetUp.begin() + 1, kFullScreenSetUp.end());
  EXPECT_EQ(rig.factory.CallLog(), expected);
  EXPECT_EQ(rig.factory.LiveSurfaces(), 5);

  // The new name-table cache is black until the game rewrites its tiles.
  rig.Frame();
  EXPECT_TRUE(rig.target.LastWasFullScreen());
  EXPECT_EQ(rig.Picture().At(8, 8), 0u);
  rig.DrawAllTiles();
  rig.Frame();
  EXPECT_EQ(rig.target.Picture().At(100 + 8, 110 + 8), PackRgb(255, 255, 255));

  rig.factory.ClearCallLog();
  rig.engine->ToggleFullScreen();
  EXPECT_EQ(rig.ppu.m_bFullScreen, 0);
  expected.assign(kWindowedSetUp.begin() + 1, kWindowedSetUp.end());
  EXPECT_EQ(rig.factory.CallLog(), expected);
  rig.DrawAllTiles();
  rig.Frame();
  EXPECT_FALSE(rig.target.LastWasFullScreen());
  EXPECT_EQ(rig.target.Picture().At(3 + 8, 3 + 8), PackRgb(255, 255, 255));
  // The mode lives in the PPU only, not in the settings.
  EXPECT_FALSE(rig.settings.Contains("Settings", "Full Screen"));
}

TEST(DirectXEngine, FailedSwitchToFullScreenStaysWindowed) {
  EngineRig rig;
  rig.engine->Init();
  rig.factory.ClearCallLog();
  rig.factory.FailStep(EDirectDrawStep::CooperativeFullScreen);
  rig.engine->ToggleFullScreen();
  EXPECT_EQ(rig.messages.Messages(), Messages{kNoLevel});
  EXPECT_EQ(rig.ppu.m_bFullScreen, 0);
  // The surfaces are made again, for the window.
  std::vector<std::string> expected = {"SetCooperativeLevel(0x13) failed"};
  expected.insert(expected.end(), kWindowedSetUp.begin() + 2, kWindowedSetUp.end());
  EXPECT_EQ(rig.factory.CallLog(), expected);
  rig.Frame();
  EXPECT_FALSE(rig.target.LastWasFullScreen());
}

TEST(DirectXEngine, FailedSwitchToWindowedChangesNothing) {
  EngineRig rig(true);
  SetUpMarkers(rig);
  rig.factory.ClearCallLog();
  rig.factory.FailStep(EDirectDrawStep::CooperativeWindowed);
  rig.engine->ToggleFullScreen();
  EXPECT_EQ(rig.messages.Messages(), Messages{kNoLevel});
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  EXPECT_EQ(rig.factory.CallLog(), std::vector<std::string>{"SetCooperativeLevel(0x0A) failed"});
  // The surfaces were kept, the name-table cache with them.
  rig.Frame();
  EXPECT_EQ(rig.target.Picture().At(100 + 8, 110 + 8), PackRgb(255, 255, 255));
}

TEST(DirectXEngine, InitAgainWithoutShutdownLeavesNothingBehind) {
  EngineRig rig;
  rig.engine->Init();
  rig.engine->Init();
  EXPECT_EQ(rig.factory.LiveObjects(), 1);
  EXPECT_EQ(rig.factory.LiveSurfaces(), 5);
  rig.engine->Shutdown();
  EXPECT_EQ(rig.factory.LiveObjects(), 0);
  EXPECT_EQ(rig.factory.LiveSurfaces(), 0);
  rig.engine->Shutdown();  // twice is harmless

  // The last picture stays available after Shutdown.
  rig.engine->Init();
  rig.engine->ClearScreen(1, 2, 3);
  rig.engine->EndFrame();
  rig.engine->Shutdown();
  EXPECT_EQ(rig.Picture().At(0, 0), PackRgb(1, 2, 3));

  // Destroyed without Shutdown, as the machine does on an engine change.
  rig.engine->Init();
  rig.engine.reset();
  EXPECT_EQ(rig.factory.LiveObjects(), 0);
  EXPECT_EQ(rig.factory.LiveSurfaces(), 0);
}

TEST(DirectXEngine, PaletteSwatchesGoBelowTheCachedTables) {
  // They land in rows 240-271 of the name-table cache, which no scanline
  // reads, so the picture is unchanged.
  EngineRig rig;
  SetUpMarkers(rig);
  rig.ppu.m_BgPalette[3] = 0x30;
  rig.ppu.m_SpritePalette[5] = 0x30;
  rig.Frame();
  const std::vector<std::pair<int, int>> before = WhitePixels(rig.Picture());
  rig.engine->DrawPalettes();
  rig.engine->DrawPatternTables();
  rig.Frame();
  EXPECT_EQ(WhitePixels(rig.Picture()), before);
}

TEST(DirectXEngine, PresentedFramesArePacedWhenAsked) {
  EngineRig rig;
  rig.platform.bPaceFrames = true;
  CDirectXEngine engine(&rig.ppu, rig.platform);
  engine.Init();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 4; ++i) engine.EndFrame();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // The first frame opens the series; the next three wait for their turn.
  EXPECT_GE(elapsed, std::chrono::nanoseconds(3 * CFramePacer::PeriodNs() - 1000000));
}
