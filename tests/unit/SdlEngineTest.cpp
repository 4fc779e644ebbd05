#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input/SdlKeyMap.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MessageRecorder.h"
#include "platform/PngFile.h"
#include "platform/SdlEventPump.h"
#include "ppu/Ppu.h"
#include "support/NesRig.h"
#include "tools/HeadlessRunner.h"
#include "tools/RunnerOptions.h"
#include "video/EngineFactory.h"
#include "video/FramePacer.h"
#include "video/SdlEngine.h"

namespace {
// SDL runs headless here whatever the environment says.
void UseDummyVideo() { setenv("SDL_VIDEODRIVER", "dummy", 1); }

struct SSdlRig {
  CMessageRecorder messages;
  SPlatform platform;
  CPpu ppu;
  CSdlEngine engine;

  explicit SSdlRig(BYTE vertical = 0)
      : platform(MakePlatform(&messages)), ppu(nullptr, vertical), engine(&ppu, platform) {
    UseDummyVideo();
    ppu.SetEngine(&engine);
    ppu.Reset();
  }
  ~SSdlRig() { engine.Shutdown(); }

  static SPlatform MakePlatform(CMessageRecorder* pMessages) {
    SPlatform p;
    p.pMessageBox = pMessages;
    p.bPaceFrames = false;
    return p;
  }

  void SetAddress(WORD a) {
    ppu.ReadRegister(0x2002);
    ppu.WriteRegister(0x2006, static_cast<BYTE>(a >> 8));
    ppu.WriteRegister(0x2006, static_cast<BYTE>(a & 0xFF));
  }
  void Write(WORD a, BYTE v) {
    SetAddress(a);
    ppu.WriteRegister(0x2007, v);
  }
  void Write(WORD a, const std::vector<BYTE>& bytes) {
    SetAddress(a);
    for (BYTE b : bytes) ppu.WriteRegister(0x2007, b);
  }
  // A tile whose 8 rows have the given colours 0-3 pixel by pixel, one
  // string of eight digits per row.
  void SetTile(int nTable, int nTile, const std::vector<std::string>& rows) {
    std::vector<BYTE> bytes(16, 0);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) {
        const int v = rows[r][c] - '0';
        if (v & 1) bytes[r] |= static_cast<BYTE>(0x80 >> c);
        if (v & 2) bytes[r + 8] |= static_cast<BYTE>(0x80 >> c);
      }
    Write(static_cast<WORD>(nTable * 0x1000 + nTile * 16), bytes);
  }
  void SetSolidTile(int nTable, int nTile, int nColor) {
    const std::string row(8, static_cast<char>('0' + nColor));
    SetTile(nTable, nTile, std::vector<std::string>(8, row));
  }
  // Scroll and name table as a game sets them during vertical blank, after
  // its VRAM writes; every RenderFrame sets the scroll again.
  void SetScroll(int x, int y, BYTE control) {
    ppu.WriteRegister(0x2000, control);
    m_nScrollX = x;
    m_nScrollY = y;
    ApplyScroll();
  }
  void ApplyScroll() {
    ppu.ReadRegister(0x2002);
    ppu.m_TempAddr = static_cast<WORD>((ppu.m_Control & 3) << 10);
    ppu.WriteRegister(0x2005, static_cast<BYTE>(m_nScrollX));
    ppu.WriteRegister(0x2005, static_cast<BYTE>(m_nScrollY));
    // The current address follows at the end of vertical blank, as with both
    // layers shown.
    ppu.m_VramAddr = ppu.m_TempAddr;
  }
  void SetSprite(int i, int y, int tile, int attr, int x) {
    ppu.m_SpriteRam[i * 4] = static_cast<BYTE>(y);
    ppu.m_SpriteRam[i * 4 + 1] = static_cast<BYTE>(tile);
    ppu.m_SpriteRam[i * 4 + 2] = static_cast<BYTE>(attr);
    ppu.m_SpriteRam[i * 4 + 3] = static_cast<BYTE>(x);
  }
  void HideAllSprites() {
    for (int i = 0; i < 64; ++i) SetSprite(i, 0xF8, 0, 0, 0);
  }
  // One frame as the loop draws it: the visible lines, then vertical blank.
  void RenderFrame() {
    ApplyScroll();
    for (int line = 0; line < 240; ++line) engine.DrawScanline(static_cast<BYTE>(line));
    ppu.StartVBlank();
    ppu.EndVBlank();
  }
  SImage Picture() {
    SImage image;
    EXPECT_TRUE(engine.CapturePicture(image));
    return image;
  }
  SImage Window() {
    SImage image;
    EXPECT_TRUE(engine.CaptureWindow(image));
    return image;
  }
  int m_nScrollX = 0;
  int m_nScrollY = 0;

  std::uint32_t Master(int i) const {
    return PackRgb(ppu.m_RgbPalette[i][0], ppu.m_RgbPalette[i][1], ppu.m_RgbPalette[i][2]);
  }
  std::uint32_t BgColor(int entry) const { return Master(ppu.m_BgPalette[entry]); }
  std::uint32_t SpriteColor(int entry) const { return Master(ppu.m_SpritePalette[entry]); }
  // Every entry of both palettes, so that none keeps a colour from before.
  void WritePalettes(const std::vector<BYTE>& bg, const std::vector<BYTE>& sprite) {
    for (int i = 1; i < 16; ++i)
      if (i & 3) {
        Write(static_cast<WORD>(0x3F00 + i), bg[i]);
        Write(static_cast<WORD>(0x3F10 + i), sprite[i]);
      }
    Write(0x3F00, bg[0]);
  }
};

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%06X", v);
  return buf;
}

// Distinct master colours for palette entries.
constexpr BYTE kRed = 0x16, kGreen = 0x2A, kBlue = 0x12, kYellow = 0x28, kWhite = 0x30,
               kPurple = 0x14, kCyan = 0x2C, kOrange = 0x27, kGrey = 0x00, kBlack = 0x0F;
}  // namespace

TEST(SdlEngine, BackdropShowsTheExactMasterColour) {
  SSdlRig rig;
  for (int c = 0; c < 64; ++c) {
    rig.Write(0x3F00, static_cast<BYTE>(c));
    rig.ppu.WriteRegister(0x2001, (c & 1) ? 0x08 : 0x00);  // background on and off
    // With the background hidden the frame's own backdrop is filled in at
    // its end; otherwise the backdrop was laid at the end of the frame before.
    rig.RenderFrame();
    if (c & 1) rig.RenderFrame();
    const SImage window = rig.Window();
    ASSERT_EQ(window.nWidth, 512);
    ASSERT_EQ(window.nHeight, 480);
    for (int y = 0; y < 480; y += 7)
      for (int x = 0; x < 512; x += 5)
        ASSERT_EQ(Hex(window.At(x, y)), Hex(rig.Master(c))) << "colour " << c << " at " << x
                                                             << "," << y;
  }
  EXPECT_TRUE(rig.messages.Messages().empty());
}

TEST(SdlEngine, EveryMasterColourIsExactInTilesAndSprites) {
  SSdlRig rig;
  rig.SetSolidTile(0, 1, 1);
  rig.SetSolidTile(0, 2, 2);
  rig.SetSolidTile(0, 3, 3);
  rig.Write(0x3F00, kBlack);
  // 16 tiles in a row on screen: palettes 0-3 by attribute, colours 1-3.
  for (int t = 0; t < 12; ++t) rig.Write(static_cast<WORD>(0x2000 + t), static_cast<BYTE>(1 + t % 3));
  rig.Write(0x23C0, {0x00, 0x55, 0xAA, 0xFF});  // blocks 0-3: palettes 0, 1, 2, 3
  rig.HideAllSprites();
  for (int i = 0; i < 12; ++i) rig.SetSprite(i, 99, 1 + i % 3, i / 3, i * 8);
  rig.ppu.WriteRegister(0x2001, 0x18);
  for (int first = 0; first < 64; first += 12) {
    for (int i = 0; i < 12; ++i) {
      const WORD entry = static_cast<WORD>((i / 3) * 4 + 1 + i % 3);
      rig.Write(static_cast<WORD>(0x3F00 + entry), static_cast<BYTE>((first + i) % 64));
      rig.Write(static_cast<WORD>(0x3F10 + entry), static_cast<BYTE>((first + i + 6) % 64));
    }
    rig.SetScroll(0, 0, 0x00);
    rig.RenderFrame();
    const SImage picture = rig.Picture();
    for (int i = 0; i < 12; ++i) {
      // Tile i sits in 32-pixel block i / 4; its palette is that block's.
      const int block = i / 4;
      const int tileEntry = block * 4 + 1 + i % 3;
      const int tileColor = rig.ppu.m_BgPalette[tileEntry];
      EXPECT_EQ(Hex(picture.At(i * 8 + 3, 3)), Hex(rig.Master(tileColor))) << "tile " << i;
      EXPECT_EQ(Hex(picture.At(i * 8 + 3, 103)), Hex(rig.Master((first + i + 6) % 64)))
          << "sprite " << i;
    }
  }
}

TEST(SdlEngine, AttributeQuadrantsChooseThePalette) {
  SSdlRig rig;
  rig.SetSolidTile(0, 1, 3);
  rig.Write(0x3F00, kBlack);
  rig.Write(0x3F03, kRed);
  rig.Write(0x3F07, kGreen);
  rig.Write(0x3F0B, kBlue);
  rig.Write(0x3F0F, kYellow);
  // The four quadrants of the block at (64, 32): tiles (8,4), (10,4), (8,6), (10,6).
  const WORD block = 0x2000 + 4 * 32 + 8;
  rig.Write(0x23C0 + 1 * 8 + 2, 0xE4);  // top-left 0, top-right 1, bottom-left 2, bottom-right 3
  for (WORD off : {0, 2, 64, 66}) rig.Write(static_cast<WORD>(block + off), 1);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();  // lays the backdrop for the next frame
  rig.RenderFrame();
  SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(64, 32)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(80 + 7, 32 + 7)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(64, 48)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(80, 48)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(p.At(72, 32)), Hex(rig.Master(kBlack)));  // tile 0 is empty: backdrop

  // A new attribute byte recolours the tiles already drawn.
  rig.Write(0x23C0 + 1 * 8 + 2, 0x1B);  // 3, 2, 1, 0
  rig.RenderFrame();
  p = rig.Picture();
  EXPECT_EQ(Hex(p.At(64, 32)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(p.At(80, 32)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(64, 48)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(80, 48)), Hex(rig.Master(kRed)));
}

namespace {
// Remembers which tiles an attribute byte has redrawn.
class CTileRecordingSdlEngine : public CSdlEngine {
 public:
  using CSdlEngine::CSdlEngine;
  void UpdateNameTable(WORD addr) override {
    m_addrs.push_back(addr);
    CSdlEngine::UpdateNameTable(addr);
  }
  std::vector<WORD> m_addrs;
};
}  // namespace

TEST(SdlEngine, LastAttributeRowRedrawsOnlyRows28And29) {
  CMessageRecorder messages;
  const SPlatform platform = SSdlRig::MakePlatform(&messages);
  UseDummyVideo();
  CPpu ppu(nullptr, 0);
  CTileRecordingSdlEngine engine(&ppu, platform);
  ppu.SetEngine(&engine);
  ppu.Reset();
  ppu.ReadRegister(0x2002);
  ppu.WriteRegister(0x2006, 0x23);
  ppu.WriteRegister(0x2006, 0xF8);
  ppu.WriteRegister(0x2007, 0xFF);
  const std::vector<WORD> expected = {0x2380, 0x2381, 0x2382, 0x2383,
                                      0x23A0, 0x23A1, 0x23A2, 0x23A3};
  ASSERT_GE(engine.m_addrs.size(), 1u);
  EXPECT_EQ(engine.m_addrs[0], 0x23F8);
  EXPECT_EQ(std::vector<WORD>(engine.m_addrs.begin() + 1, engine.m_addrs.end()), expected);

  // The same in the second table, at the right end of the row.
  engine.m_addrs.clear();
  engine.UpdateNameTable(0x27FF);
  EXPECT_EQ(std::vector<WORD>(engine.m_addrs.begin() + 1, engine.m_addrs.end()),
            (std::vector<WORD>{0x279C, 0x279D, 0x279E, 0x279F, 0x27BC, 0x27BD, 0x27BE, 0x27BF}));
  engine.Shutdown();
}

TEST(SdlEngine, AttributeOfTheLastRowColoursRows28And29) {
  SSdlRig rig;
  rig.SetSolidTile(0, 1, 1);
  rig.Write(0x3F00, kBlack);
  rig.Write(0x3F01, kRed);
  rig.Write(0x3F0D, kGreen);
  for (int row = 26; row < 30; ++row) rig.Write(static_cast<WORD>(0x2000 + row * 32), 1);
  rig.Write(0x23F0, 0xFF);  // rows 24-27: palette 3
  rig.Write(0x23F8, 0x00);  // rows 28-29: palette 0
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(0, 26 * 8)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(0, 27 * 8)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(0, 28 * 8)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(0, 29 * 8 + 7)), Hex(rig.Master(kRed)));
  rig.Write(0x23F8, 0x03);
  rig.RenderFrame();
  p = rig.Picture();
  EXPECT_EQ(Hex(p.At(0, 28 * 8)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(0, 29 * 8 + 7)), Hex(rig.Master(kGreen)));
}

namespace {
// Top rows of table 0x2000: tile 1 (red) with a yellow marker tile 3 in
// column 0; of table 0x2400: tile 2 (green) with a blue marker tile 4 in
// column 0 (palette 1, whose colour 2 is green too).
void DrawTwoTables(SSdlRig& rig) {
  rig.SetSolidTile(0, 1, 1);
  rig.SetSolidTile(0, 2, 2);
  rig.SetSolidTile(0, 3, 3);
  rig.SetSolidTile(0, 4, 3);
  rig.WritePalettes({kBlack, kRed, kGreen, kYellow, 0, kRed, kGreen, kBlue, 0, kPurple, kOrange,
                     kCyan, 0, kWhite, kGrey, 0x06},
                    {kBlack, 0x01, 0x11, 0x21, 0, 0x03, 0x13, 0x23, 0, 0x05, 0x15, 0x25, 0, 0x09,
                     0x19, 0x29});
  std::vector<BYTE> row0(32, 1), row1(32, 2);
  row0[0] = 3;
  row1[0] = 4;
  rig.Write(0x2000, row0);
  rig.Write(0x2400, row1);
  rig.Write(0x27C0, 0x01);  // palette 1 for the top-left quadrant of table 0x2400
}
}  // namespace

TEST(SdlEngine, HorizontalScrollRunsIntoTheSecondTable) {
  SSdlRig rig(1);  // vertical mirroring: two different tables side by side
  DrawTwoTables(rig);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(101, 0, 0x00);
  rig.RenderFrame();  // lays this backdrop for the next frame
  rig.RenderFrame();
  const SImage p = rig.Picture();
  // Source x 101..255 of table 0x2000, then 256.. of table 0x2400.
  EXPECT_EQ(Hex(p.At(0, 0)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(154, 0)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(155, 0)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(162, 7)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(163, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(255, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(0, 8)), Hex(rig.Master(kBlack)));
}

TEST(SdlEngine, RowOfTheSecondTableWrapsAroundTheCacheEdge) {
  SSdlRig rig(1);
  DrawTwoTables(rig);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(101, 0, 0x01);  // name table 0x2400
  rig.RenderFrame();
  const SImage p = rig.Picture();
  // Source x 357..511 (table 0x2400), then 0..100 of the cache (table 0x2000).
  EXPECT_EQ(Hex(p.At(0, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(154, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(155, 0)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(p.At(162, 7)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(p.At(163, 0)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(255, 0)), Hex(rig.Master(kRed)));

  // Exactly at the table edge no piece is needed.
  rig.SetScroll(0, 0, 0x01);
  rig.RenderFrame();
  const SImage q = rig.Picture();
  EXPECT_EQ(Hex(q.At(0, 0)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(q.At(8, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(q.At(255, 0)), Hex(rig.Master(kGreen)));
}

TEST(SdlEngine, VerticalScrollPastTheTableContinuesInTheOtherHalf) {
  SSdlRig rig(1);
  DrawTwoTables(rig);
  rig.ppu.WriteRegister(0x2001, 0x08);
  // Scroll down 232 lines: picture line 8 reads cache row 240, which wraps
  // to row 0 of the right half (table 0x2400).
  rig.SetScroll(0, 232, 0x00);
  rig.RenderFrame();  // lays this backdrop for the next frame
  rig.RenderFrame();
  const SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(0, 7)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(0, 8)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(8, 15)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(0, 16)), Hex(rig.Master(kBlack)));
}

namespace {
// The sprite tiles used below: 5 = an L (colour 1 top-left pixel and left
// column, colour 2 bottom row), 6 = solid 3, 7 = solid 1 with a transparent
// 4 x 4 hole in the middle.
void SpriteTiles(SSdlRig& rig) {
  rig.SetTile(0, 5,
              {"10000000", "10000000", "10000000", "10000000", "10000000", "10000000",
               "10000000", "12222222"});
  rig.SetSolidTile(0, 6, 3);
  rig.SetTile(0, 7,
              {"11111111", "11111111", "11000011", "11000011", "11000011", "11000011",
               "11111111", "11111111"});
  rig.WritePalettes({kBlack, 0x01, 0x02, 0x03, 0, 0x05, 0x06, 0x07, 0, 0x09, 0x0A, 0x0B, 0, 0x19,
                     0x1A, 0x1B},
                    {kBlack, kRed, kGreen, kBlue, 0, kYellow, kWhite, kCyan, 0, kPurple, kOrange,
                     kGrey, 0, 0x1A, 0x21, 0x06});
  rig.HideAllSprites();
}
}  // namespace

TEST(SdlEngine, SpritesAppearOneLineBelowTheirY) {
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetSprite(0, 10, 6, 0, 20);
  rig.ppu.WriteRegister(0x2001, 0x10);
  rig.RenderFrame();
  const SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(20, 10)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(20, 11)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(27, 18)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(28, 18)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(20, 19)), Hex(rig.Master(kBlack)));
}

TEST(SdlEngine, SpriteFlipsAndPaletteBits) {
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetSprite(0, 9, 5, 0x00, 10);   // as drawn
  rig.SetSprite(1, 9, 5, 0x41, 30);   // horizontal, palette 1
  rig.SetSprite(2, 9, 5, 0x82, 50);   // vertical, palette 2
  rig.SetSprite(3, 9, 5, 0xC3, 70);   // both, palette 3
  rig.ppu.WriteRegister(0x2001, 0x10);
  rig.RenderFrame();
  const SImage p = rig.Picture();
  const int top = 10, bottom = 17;
  // Unflipped: column 0 colour 1, bottom row colour 2 from column 1.
  EXPECT_EQ(Hex(p.At(10, top)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(p.At(17, top)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(17, bottom)), Hex(rig.Master(kGreen)));
  // Horizontal: column 7 colour 1, palette 1 (entries 5, 6).
  EXPECT_EQ(Hex(p.At(37, top)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(p.At(30, top)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(30, bottom)), Hex(rig.Master(kWhite)));
  // Vertical: the colour-2 row is on top, palette 2 (entries 9, 10).
  EXPECT_EQ(Hex(p.At(50, bottom)), Hex(rig.Master(kPurple)));
  EXPECT_EQ(Hex(p.At(57, top)), Hex(rig.Master(kOrange)));
  EXPECT_EQ(Hex(p.At(57, bottom)), Hex(rig.Master(kBlack)));
  // Both: colour 1 column on the right, colour 2 row on top, palette 3.
  EXPECT_EQ(Hex(p.At(77, bottom)), Hex(rig.SpriteColor(13)));
  EXPECT_EQ(Hex(p.At(70, top)), Hex(rig.SpriteColor(14)));
  EXPECT_EQ(Hex(p.At(70, bottom)), Hex(rig.Master(kBlack)));
}

TEST(SdlEngine, LowerNumberedSpriteIsOnTopExceptWhereTransparent) {
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetSprite(3, 30, 7, 0x01, 60);  // solid colour 1 with a hole, palette 1
  rig.SetSprite(9, 30, 6, 0x00, 60);  // solid colour 3 underneath
  rig.SetSprite(12, 30, 6, 0x02, 64);  // overlaps both on the right, palette 2
  rig.ppu.WriteRegister(0x2001, 0x10);
  rig.RenderFrame();
  const SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(60, 31)), Hex(rig.Master(kYellow)));  // sprite 3
  EXPECT_EQ(Hex(p.At(62, 33)), Hex(rig.Master(kBlue)));    // through the hole: sprite 9
  EXPECT_EQ(Hex(p.At(65, 34)), Hex(rig.Master(kBlue)));    // hole over 9 and 12: 9 wins
  EXPECT_EQ(Hex(p.At(66, 31)), Hex(rig.Master(kYellow)));  // 3 over 12
  EXPECT_EQ(Hex(p.At(68, 31)), Hex(rig.Master(kGrey)));    // only 12
}

TEST(SdlEngine, SpritesBehindTheBackgroundShowOnlyThroughColourZero) {
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetTile(0, 1,
              {"11110000", "11110000", "11110000", "11110000", "11110000", "11110000",
               "11110000", "11110000"});
  rig.Write(0x3F01, kGreen);
  rig.Write(static_cast<WORD>(0x2000 + 4 * 32 + 4), 1);  // tile at (32, 32)
  rig.SetSprite(0, 31, 6, 0x20, 32);                       // behind, at (32, 32)
  rig.SetSprite(1, 31, 6, 0x00, 48);                       // in front, elsewhere
  rig.ppu.WriteRegister(0x2001, 0x18);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();  // draws the back sprites into the next picture
  rig.RenderFrame();
  const SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(32, 32)), Hex(rig.Master(kGreen)));  // background covers it
  EXPECT_EQ(Hex(p.At(35, 39)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(36, 32)), Hex(rig.Master(kBlue)));   // colour 0 lets it through
  EXPECT_EQ(Hex(p.At(48, 32)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(p.At(40, 32)), Hex(rig.Master(kBlack)));
}

TEST(SdlEngine, SpriteRectanglesGiveTheSameScreenAsWholeLayerBlits) {
  // Many overlapping sprites with holes, flips, both priorities, and edges.
  auto scene = [](SSdlRig& rig, bool bWhole, bool bKeyed) {
    rig.engine.SetWholeLayerBlits(bWhole);
    SpriteTiles(rig);
    if (!bKeyed) {
      // A fresh Init: no palette entry 0 written since, so no colour key.
      rig.ppu.Reset();
      rig.Write(0x3F01, kGreen);
    }
    rig.SetTile(0, 1,
                {"10101010", "01010101", "10101010", "01010101", "10101010", "01010101",
                 "10101010", "01010101"});
    for (int i = 0; i < 64; ++i) rig.Write(static_cast<WORD>(0x2000 + i * 7), 1);
    unsigned seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 16) & 0xFF);
    };
    for (int i = 0; i < 64; ++i) {
      const int tile = 5 + next() % 3;
      int y = next() % 60 + 20;
      int x = next() % 80 + 20;
      if (i % 13 == 0) x = 250;  // runs off the right edge
      if (i % 17 == 0) y = 235;  // runs off the bottom
      rig.SetSprite(i, y, tile, next() & 0xE3, x);
    }
    rig.ppu.WriteRegister(0x2001, 0x18);
    rig.SetScroll(0, 0, 0);
    rig.RenderFrame();
    rig.RenderFrame();
    return rig.Picture();
  };
  for (bool bKeyed : {true, false}) {
    SSdlRig fast, reference;
    const SImage a = scene(fast, false, bKeyed);
    const SImage b = scene(reference, true, bKeyed);
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    int nDiffer = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) nDiffer += a.pixels[i] != b.pixels[i];
    EXPECT_EQ(nDiffer, 0) << (bKeyed ? "keyed layer" : "opaque layer");
    // The scene really has sprites in it.
    int nSprite = 0;
    for (std::uint32_t px : a.pixels) nSprite += px == fast.Master(kYellow);
    EXPECT_GT(nSprite, 50);
  }
}

TEST(SdlEngine, EdgesOfEveryCacheAreClipped) {
  // Scrolls, name tables and sprites at every edge; the copies must stay
  // inside their surfaces (the sanitizer build checks our own pixel loops).
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetSolidTile(1, 0xFF, 2);
  rig.Write(0x23FF, 0xFF);
  rig.Write(0x27FF, 0xFF);
  rig.SetSprite(0, 239, 0xFF, 0xE3, 255);
  rig.SetSprite(1, 255, 0xFF, 0x03, 250);
  rig.SetSprite(2, 232, 6, 0xC0, 252);
  rig.SetSprite(3, 200, 0xFF, 0x20, 249);
  for (BYTE control : {0x00, 0x01, 0x02, 0x03, 0x21, 0x22, 0x3B}) {
    for (int x : {0, 1, 7, 8, 248, 255})
      for (int y : {0, 7, 8, 232, 239, 240, 248, 255}) {
        rig.ppu.WriteRegister(0x2001, 0x18);
        rig.SetScroll(x, y, control);
        rig.RenderFrame();
      }
  }
  rig.engine.ToggleDebugView();
  rig.RenderFrame();
  rig.engine.ToggleFullScreen();
  rig.RenderFrame();
  const SImage w = rig.Window();
  EXPECT_EQ(w.nWidth, 256);
  EXPECT_TRUE(rig.messages.Messages().empty());
}

TEST(SdlEngine, SpriteZeroHitSixLinesBelowY) {
  SSdlRig rig;
  rig.ppu.WriteRegister(0x2001, 0x18);
  rig.SetSprite(0, 20, 0, 0, 0);
  for (int line = 0; line < 26; ++line) rig.engine.DrawScanline(static_cast<BYTE>(line));
  EXPECT_EQ(rig.ppu.m_Status & 0x40, 0);
  rig.engine.DrawScanline(26);
  EXPECT_EQ(rig.ppu.m_Status & 0x40, 0x40);

  for (int y : {233, 234, 255}) {
    rig.ppu.m_Status = 0;
    rig.SetSprite(0, y, 0, 0, 0);
    for (int line = 0; line < 240; ++line) rig.engine.DrawScanline(static_cast<BYTE>(line));
    EXPECT_EQ(rig.ppu.m_Status & 0x40, y == 233 ? 0x40 : 0) << "Y " << y;
  }

  // Nothing is tested while the background is hidden.
  rig.ppu.m_Status = 0;
  rig.SetSprite(0, 20, 0, 0, 0);
  rig.ppu.WriteRegister(0x2001, 0x10);
  for (int line = 0; line < 240; ++line) rig.engine.DrawScanline(static_cast<BYTE>(line));
  EXPECT_EQ(rig.ppu.m_Status & 0x40, 0);
}

TEST(SdlEngine, ScanlineTakesTheHorizontalScrollWhenSpritesAreShown) {
  SSdlRig rig;
  rig.ppu.m_TempAddr = 0x0415;
  rig.ppu.m_VramAddr = 0x2BEA;
  rig.ppu.WriteRegister(0x2001, 0x18);
  rig.engine.DrawScanline(5);
  EXPECT_EQ(rig.ppu.m_VramAddr, (0x2BEA & 0x7BE0) | 0x0415);
  rig.ppu.m_VramAddr = 0x2BEA;
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.engine.DrawScanline(6);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2BEA);
}

TEST(SdlEngine, HiddenBackgroundLeavesBackdropAndSprites) {
  SSdlRig rig;
  SpriteTiles(rig);
  rig.SetSolidTile(0, 1, 1);
  rig.Write(0x3F01, kGreen);
  rig.Write(0x2000, std::vector<BYTE>(64, 1));
  rig.SetSprite(0, 0, 6, 0, 0);
  rig.ppu.WriteRegister(0x2001, 0x10);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  const SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(100, 0)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(p.At(0, 1)), Hex(rig.Master(kBlue)));
}

TEST(SdlEngine, ColourZeroIsOpaqueUntilPaletteEntryZeroIsWritten) {
  SSdlRig rig;  // m_bgColors start black, the backdrop is master colour 0 (grey)
  rig.SetSolidTile(0, 1, 1);
  rig.Write(0x3F01, kGreen);
  rig.Write(0x2000, 1);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  SImage p = rig.Picture();
  EXPECT_EQ(Hex(p.At(0, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(50, 50)), "000000");  // colour 0 of the cache, not the backdrop
  rig.Write(0x3F00, kGrey);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  p = rig.Picture();
  EXPECT_EQ(Hex(p.At(0, 0)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(p.At(50, 50)), Hex(rig.Master(kGrey)));
}

TEST(SdlEngine, PaletteChangeShowsInTheNextFrame) {
  SSdlRig rig;
  rig.SetSolidTile(0, 1, 2);
  rig.Write(0x3F00, kBlack);
  rig.Write(0x3F02, kGreen);
  rig.Write(0x2000, 1);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  EXPECT_EQ(Hex(rig.Picture().At(0, 0)), Hex(rig.Master(kGreen)));
  rig.Write(0x3F02, kRed);  // during vertical blank, as games do
  rig.SetScroll(0, 0, 0);
  rig.RenderFrame();
  EXPECT_EQ(Hex(rig.Picture().At(0, 0)), Hex(rig.Master(kRed)));
}

TEST(SdlEngine, DebugViewLayoutInTheWindow) {
  SSdlRig rig(1);
  DrawTwoTables(rig);
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.SetScroll(0, 0, 0);
  rig.engine.ToggleDebugView();
  EXPECT_TRUE(rig.engine.IsDebugView());
  rig.RenderFrame();  // lays this backdrop for the next frame
  rig.RenderFrame();
  const SImage w = rig.Window();
  ASSERT_EQ(w.nWidth, 512);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Hex(w.At(256 + i * 16, 0)), Hex(rig.BgColor(i))) << i;
    EXPECT_EQ(Hex(w.At(256 + i * 16 + 15, 15)), Hex(rig.BgColor(i))) << i;
    EXPECT_EQ(Hex(w.At(256 + i * 16 + 8, 16)), Hex(rig.SpriteColor(i))) << i;
    EXPECT_EQ(Hex(w.At(256 + i * 16 + 8, 31)), Hex(rig.SpriteColor(i))) << i;
  }
  // Pattern cache: tile n of table 0 at ((n >> 3) * 8, (n & 7) * 8), colours 0-3 of
  // the background palette.
  EXPECT_EQ(Hex(w.At(256 + 0, 32 + 8)), Hex(rig.Master(kRed)));       // tile 1
  EXPECT_EQ(Hex(w.At(256 + 7, 32 + 16 + 7)), Hex(rig.Master(kGreen)));  // tile 2
  EXPECT_EQ(Hex(w.At(256 + 0, 32 + 24)), Hex(rig.Master(kYellow)));    // tile 3
  EXPECT_EQ(Hex(w.At(256 + 8, 32)), Hex(rig.Master(kBlack)));          // tile 8: empty
  EXPECT_EQ(Hex(w.At(256, 32 + 64)), Hex(rig.Master(kBlack)));         // table 1: empty
  // Name tables below the picture: 0x2000 left, 0x2400 right.
  EXPECT_EQ(Hex(w.At(0, 240)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(w.At(8, 247)), Hex(rig.Master(kRed)));
  EXPECT_EQ(Hex(w.At(256, 240)), Hex(rig.Master(kBlue)));
  EXPECT_EQ(Hex(w.At(300, 240)), Hex(rig.Master(kGreen)));
  EXPECT_EQ(Hex(w.At(300, 248)), Hex(rig.Master(kBlack)));
  // The picture is unchanged, and right of it below the views the backdrop.
  EXPECT_EQ(Hex(w.At(0, 0)), Hex(rig.Master(kYellow)));
  EXPECT_EQ(Hex(w.At(300, 200)), Hex(rig.Master(kBlack)));

  rig.engine.ToggleDebugView();
  rig.RenderFrame();
  const SImage off = rig.Window();
  EXPECT_EQ(Hex(off.At(256, 0)), Hex(rig.Master(kBlack)));
  EXPECT_EQ(Hex(off.At(0, 240)), Hex(rig.Master(kBlack)));
}

TEST(SdlEngine, CapturesTheLastPresentedFrameAfterShutdown) {
  SSdlRig rig;
  SImage none;
  EXPECT_FALSE(rig.engine.CapturePicture(none));
  rig.Write(0x3F00, kCyan);
  rig.RenderFrame();
  rig.engine.Shutdown();
  EXPECT_EQ(rig.engine.Screen(), nullptr);
  const SImage p = rig.Picture();
  ASSERT_EQ(p.nWidth, 256);
  ASSERT_EQ(p.nHeight, 240);
  EXPECT_EQ(Hex(p.At(255, 239)), Hex(rig.Master(kCyan)));
  rig.ppu.Reset();  // Init again on the same object
  ASSERT_NE(rig.engine.Screen(), nullptr);
}

TEST(SdlEngine, FullScreenModeIs256By256) {
  SSdlRig rig;
  rig.Write(0x3F00, kOrange);
  rig.engine.ToggleDebugView();
  rig.engine.ToggleFullScreen();
  rig.engine.ToggleFullScreen();  // every call sets the same mode again
  rig.RenderFrame();
  const SImage w = rig.Window();
  EXPECT_EQ(w.nWidth, 256);
  EXPECT_EQ(w.nHeight, 256);
  EXPECT_EQ(Hex(w.At(255, 255)), Hex(rig.Master(kOrange)));
  EXPECT_EQ(rig.Picture().nHeight, 240);
  EXPECT_TRUE(rig.messages.Messages().empty());
}

TEST(SdlEngine, ReportsAVideoModeThatCannotBeSet) {
  const char* previous = std::getenv("SDL_VIDEODRIVER");
  const std::string saved = previous ? previous : "";
  setenv("SDL_VIDEODRIVER", "no_such_video_driver", 1);
  CMessageRecorder messages;
  const SPlatform platform = SSdlRig::MakePlatform(&messages);
  CPpu ppu(nullptr, 0);
  CSdlEngine engine(&ppu, platform);
  ppu.SetEngine(&engine);
  ppu.Reset();
  ASSERT_EQ(messages.Messages(), std::vector<std::string>{"Unable to initialize video"});
  EXPECT_EQ(engine.Screen(), nullptr);
  // Emulation carries on with nothing shown.
  ppu.WriteRegister(0x2001, 0x18);
  ppu.m_SpriteRam[0] = 10;
  for (int line = 0; line < 240; ++line) engine.DrawScanline(static_cast<BYTE>(line));
  EXPECT_EQ(ppu.m_Status & 0x40, 0x40);
  engine.ToggleDebugView();
  ppu.StartVBlank();
  ppu.EndVBlank();
  SImage image;
  EXPECT_FALSE(engine.CapturePicture(image));
  engine.ToggleFullScreen();
  EXPECT_EQ(messages.Messages().back(), "Unable to initialize video in full screen mode");
  engine.Shutdown();
  if (previous)
    setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_VIDEODRIVER");
  UseDummyVideo();
}

TEST(SdlEngine, FactoryMakesTheSdlEngineForItsName) {
  CPpu ppu(nullptr, 0);
  SPlatform platform;
  CGraphicEngine* pEngine = CreateGraphicEngine("SDL", &ppu, platform, false);
  EXPECT_NE(dynamic_cast<CSdlEngine*>(pEngine), nullptr);
  delete pEngine;
  pEngine = CreateGraphicEngine("sdl", &ppu, platform, false);
  EXPECT_EQ(dynamic_cast<CSdlEngine*>(pEngine), nullptr);
  delete pEngine;
}

namespace {
// A clock that moves only when slept on or told to.
class CFakePacerClock : public IPacerClock {
 public:
  std::int64_t NowNs() override { return m_nNow; }
  void SleepUntilNs(std::int64_t nDeadline) override {
    m_sleeps.push_back(nDeadline);
    if (nDeadline > m_nNow) m_nNow = nDeadline;
  }
  std::int64_t m_nNow = 1'000'000'000;
  std::vector<std::int64_t> m_sleeps;
};
}  // namespace

TEST(FramePacer, HoldsFramesToTheConsoleRateWithoutDrift) {
  CFakePacerClock clock;
  CFramePacer pacer(&clock);
  const std::int64_t start = clock.m_nNow;
  pacer.FramePresented();  // the first frame is not held
  EXPECT_TRUE(clock.m_sleeps.empty());
  const double period = 1e9 / 60.0988;
  for (int k = 1; k <= 6010; ++k) {
    clock.m_nNow += 3'000'000;  // 3 ms of work per frame
    pacer.FramePresented();
    ASSERT_EQ(clock.m_sleeps.size(), static_cast<std::size_t>(k));
    const std::int64_t expected = start + static_cast<std::int64_t>(k * period);
    ASSERT_LE(std::llabs(clock.m_sleeps.back() - expected), 1) << "frame " << k;
  }
  // 6010 frames take 100.0 seconds, give or take one frame boundary.
  EXPECT_NEAR(static_cast<double>(clock.m_nNow - start) / 1e9, 6010 / 60.0988, 1e-6);
}

TEST(FramePacer, SlowFramesCatchUpAndStallsResynchronise) {
  CFakePacerClock clock;
  CFramePacer pacer(&clock);
  const std::int64_t period = CFramePacer::PeriodNs();
  pacer.FramePresented();
  const std::int64_t start = clock.m_nNow;
  // A frame two periods late is not held, and neither is the next one,
  // which is still behind the series.
  clock.m_nNow += 2 * period + period / 2;
  pacer.FramePresented();
  EXPECT_TRUE(clock.m_sleeps.empty());
  clock.m_nNow += 1000;
  pacer.FramePresented();
  EXPECT_TRUE(clock.m_sleeps.empty());
  clock.m_nNow += 1000;
  pacer.FramePresented();  // ahead of boundary 3 again: held until it
  ASSERT_EQ(clock.m_sleeps.size(), 1u);
  EXPECT_NEAR(static_cast<double>(clock.m_sleeps[0] - start), 3 * 1e9 / 60.0988, 2.0);

  // A long stall (a paused game): no burst of catch-up frames afterwards.
  clock.m_nNow += 5'000'000'000;
  const std::int64_t resumed = clock.m_nNow;
  pacer.FramePresented();
  EXPECT_EQ(clock.m_sleeps.size(), 1u);
  pacer.FramePresented();
  ASSERT_EQ(clock.m_sleeps.size(), 2u);
  EXPECT_NEAR(static_cast<double>(clock.m_sleeps[1] - resumed), 1e9 / 60.0988, 2.0);

  pacer.Restart();
  clock.m_sleeps.clear();
  pacer.FramePresented();
  EXPECT_TRUE(clock.m_sleeps.empty());
}

TEST(SdlEngine, PacesPresentedFramesOnlyWhenAsked) {
  UseDummyVideo();
  CMessageRecorder messages;
  for (bool bPace : {false, true}) {
    SPlatform platform = SSdlRig::MakePlatform(&messages);
    platform.bPaceFrames = bPace;
    CFakePacerClock clock;
    CPpu ppu(nullptr, 0);
    CSdlEngine engine(&ppu, platform);
    engine.SetFramePacer(CFramePacer(&clock));
    ppu.SetEngine(&engine);
    ppu.Reset();
    for (int i = 0; i < 7; ++i) engine.EndFrame();
    EXPECT_EQ(clock.m_sleeps.size(), bPace ? 6u : 0u);
    engine.Shutdown();
  }
}

TEST(SdlKeyMap, GivesDirectInputCodes) {
  EXPECT_EQ(SdlKeyToDik(SDLK_ESCAPE), 0x01);
  EXPECT_EQ(SdlKeyToDik(SDLK_1), 0x02);
  EXPECT_EQ(SdlKeyToDik(SDLK_0), 0x0B);
  EXPECT_EQ(SdlKeyToDik(SDLK_TAB), 0x0F);
  EXPECT_EQ(SdlKeyToDik(SDLK_q), 0x10);
  EXPECT_EQ(SdlKeyToDik(SDLK_RETURN), 0x1C);
  EXPECT_EQ(SdlKeyToDik(SDLK_LCTRL), 0x1D);
  EXPECT_EQ(SdlKeyToDik(SDLK_a), 0x1E);
  EXPECT_EQ(SdlKeyToDik(SDLK_f), 0x21);
  EXPECT_EQ(SdlKeyToDik(SDLK_l), 0x26);
  EXPECT_EQ(SdlKeyToDik(SDLK_LSHIFT), 0x2A);
  EXPECT_EQ(SdlKeyToDik(SDLK_z), 0x2C);
  EXPECT_EQ(SdlKeyToDik(SDLK_x), 0x2D);
  EXPECT_EQ(SdlKeyToDik(SDLK_m), 0x32);
  EXPECT_EQ(SdlKeyToDik(SDLK_RSHIFT), 0x36);
  EXPECT_EQ(SdlKeyToDik(SDLK_SPACE), 0x39);
  EXPECT_EQ(SdlKeyToDik(SDLK_F1), 0x3B);
  EXPECT_EQ(SdlKeyToDik(SDLK_F10), 0x44);
  EXPECT_EQ(SdlKeyToDik(SDLK_F11), 0x57);
  EXPECT_EQ(SdlKeyToDik(SDLK_F12), 0x58);
  EXPECT_EQ(SdlKeyToDik(SDLK_RCTRL), 0x9D);
  EXPECT_EQ(SdlKeyToDik(SDLK_UP), 0xC8);
  EXPECT_EQ(SdlKeyToDik(SDLK_LEFT), 0xCB);
  EXPECT_EQ(SdlKeyToDik(SDLK_RIGHT), 0xCD);
  EXPECT_EQ(SdlKeyToDik(SDLK_DOWN), 0xD0);
  EXPECT_EQ(SdlKeyToDik(SDLK_UNKNOWN), 0);
  EXPECT_EQ(SdlKeyToDik(SDLK_WORLD_5), 0);
  // Every letter has its own code.
  std::vector<int> codes;
  for (int k = SDLK_a; k <= SDLK_z; ++k) codes.push_back(SdlKeyToDik(k));
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(std::unique(codes.begin(), codes.end()), codes.end());
  EXPECT_NE(codes.front(), 0);
}

TEST(SdlEventPump, FeedsKeysAndTheCloseRequest) {
  UseDummyVideo();
  CKeyStateKeyboard keyboard;
  CScriptedEventPump next;
  int nQuits = 0;
  CSdlEventPump pump(&keyboard, [&nQuits] { ++nQuits; }, &next);
  pump.PumpPendingEvents();  // no video yet: only the chained pump
  EXPECT_EQ(next.m_nPumps, 1);

  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  ASSERT_NE(SDL_SetVideoMode(64, 64, 8, 0), nullptr);
  SDL_Event event = {};
  event.type = SDL_KEYDOWN;
  event.key.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = SDLK_RIGHT;
  ASSERT_EQ(SDL_PushEvent(&event), 0);
  event.key.keysym.sym = SDLK_z;
  SDL_PushEvent(&event);
  pump.PumpPendingEvents();
  BYTE keys[256] = {};
  keyboard.GetDeviceState(keys);
  EXPECT_EQ(keys[0xCD], 0x80);
  EXPECT_EQ(keys[0x2C], 0x80);
  EXPECT_EQ(next.m_nPumps, 2);

  event.type = SDL_KEYUP;
  event.key.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  SDL_PushEvent(&event);
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  pump.PumpPendingEvents();
  keyboard.GetDeviceState(keys);
  EXPECT_EQ(keys[0xCD], 0x80);
  EXPECT_EQ(keys[0x2C], 0);
  EXPECT_EQ(nQuits, 1);
  EXPECT_EQ(pump.QuitRequests(), 1);
  SDL_Quit();
}

namespace {
// One name per test and process: ctest runs the cases side by side.
std::filesystem::path SdlTempPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string test = info ? info->name() : "none";
  return std::filesystem::temp_directory_path() /
         ("tolvar_sdltest_" + std::to_string(getpid()) + "_" + test + "_" + name);
}

// Writes palette entry 0 (red) and turns the background on, then loops.
std::filesystem::path WriteBackdropRom() {
  const std::vector<BYTE> code = {0xA9, 0x3F, 0x8D, 0x06, 0x20, 0xA9, 0x00, 0x8D,
                                  0x06, 0x20, 0xA9, 0x16, 0x8D, 0x07, 0x20, 0xA9,
                                  0x08, 0x8D, 0x01, 0x20, 0x4C, 0x14, 0x80};
  const auto file = MakeProgram(code);
  const auto path = SdlTempPath("backdrop.nes");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return path;
}

int RunRunnerCommand(const std::string& args, std::string* pErr = nullptr) {
  const auto err = SdlTempPath("stderr.txt");
  const std::string command =
      std::string(TOLVAR_RUNNER) + " " + args + " >/dev/null 2>" + err.string();
  const int status = std::system(command.c_str());
  if (pErr) {
    std::ifstream in(err);
    pErr->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(RunnerPictures, ScreenshotAndWindowShotOfTheSdlEngine) {
  const auto rom = WriteBackdropRom();
  const auto shot = SdlTempPath("shot.png");
  const auto window = SdlTempPath("window.png");
  std::filesystem::remove(shot);
  std::filesystem::remove(window);
  ASSERT_EQ(RunRunnerCommand("--engine sdl --frames 5 --debug-view --screenshot " + shot.string() +
                             " --window-shot " + window.string() + " " + rom.string()),
            0);
  SImage picture, whole;
  ASSERT_TRUE(ReadPng(shot.string(), picture));
  ASSERT_TRUE(ReadPng(window.string(), whole));
  ASSERT_EQ(picture.nWidth, 256);
  ASSERT_EQ(picture.nHeight, 240);
  ASSERT_EQ(whole.nWidth, 512);
  ASSERT_EQ(whole.nHeight, 480);
  for (std::uint32_t px : picture.pixels) ASSERT_EQ(Hex(px), Hex(PackRgb(248, 56, 0)));
  // The debug view is on: the swatch of background entry 0 at (256, 0).
  EXPECT_EQ(Hex(whole.At(256, 0)), Hex(PackRgb(248, 56, 0)));
  EXPECT_EQ(Hex(whole.At(100, 100)), Hex(PackRgb(248, 56, 0)));
  for (const auto& path : {rom, shot, window, SdlTempPath("stderr.txt")})
    std::filesystem::remove(path);
}

TEST(RunnerPictures, NullEngineHasNoPicture) {
  const auto rom = WriteBackdropRom();
  std::string err;
  EXPECT_EQ(RunRunnerCommand("--frames 2 --screenshot " + SdlTempPath("x.png").string() + " " +
                                 rom.string(),
                             &err),
            2);
  EXPECT_NE(err.find("null engine"), std::string::npos) << err;
  EXPECT_EQ(RunRunnerCommand("--engine null --frames 2 --window-shot " +
                                 SdlTempPath("x.png").string() + " " + rom.string(),
                             &err),
            2);
  EXPECT_NE(err.find("null engine"), std::string::npos) << err;

  // The same refusal when the runner is called in-process.
  SRunnerOptions options;
  options.strRomPath = rom.string();
  options.strScreenshot = SdlTempPath("x.png").string();
  std::FILE* pOut = std::tmpfile();
  std::FILE* pErr = std::tmpfile();
  ASSERT_TRUE(pOut && pErr);
  EXPECT_EQ(RunHeadless(options, pOut, pErr), 2);
  EXPECT_GT(std::ftell(pErr), 0);
  std::fclose(pOut);
  std::fclose(pErr);
  EXPECT_FALSE(std::filesystem::exists(SdlTempPath("x.png")));
  for (const auto& path : {rom, SdlTempPath("stderr.txt")}) std::filesystem::remove(path);
}

TEST(RunnerPictures, SdlEngineRunsHeadlessAndPacesOnlyInRealTime) {
  const auto rom = WriteBackdropRom();
  EXPECT_EQ(RunRunnerCommand("--engine sdl --frames 30 " + rom.string()), 0);
  const auto start = SDL_GetTicks();
  EXPECT_EQ(RunRunnerCommand("--engine sdl --realtime --frames 13 " + rom.string()), 0);
  // Twelve frame periods are 200 ms.
  EXPECT_GE(SDL_GetTicks() - start, 195u);
  for (const auto& path : {rom, SdlTempPath("stderr.txt")}) std::filesystem::remove(path);
}
