#include <gtest/gtest.h>

#include "core/Ram.h"
#include "platform/MemorySettingsStore.h"
#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"

namespace {
struct PpuRig {
  CRam ram;
  CMemorySettingsStore settings;
  CPpu ppu{&ram, 0, &settings};
  CRecordingEngine engine{&ppu};

  explicit PpuRig(BYTE vertical = 0) : ppu(&ram, vertical, &settings) {
    ppu.SetEngine(&engine);
    ppu.Reset();
    engine.m_calls.clear();
  }
  void SetAddress(WORD a) {
    ppu.WriteRegister(0x2006, static_cast<BYTE>(a >> 8));
    ppu.WriteRegister(0x2006, static_cast<BYTE>(a & 0xFF));
  }
  void Write(WORD a, BYTE v) {
    SetAddress(a);
    ppu.WriteRegister(0x2007, v);
  }
};
}  // namespace

TEST(PpuDataPort, WritesThroughTheAddressRegister) {
  PpuRig rig;
  rig.ppu.WriteRegister(0x2006, 0x21);
  rig.ppu.WriteRegister(0x2006, 0x08);
  rig.ppu.WriteRegister(0x2007, 0x55);
  EXPECT_EQ(rig.ppu.m_Vram[0x2108], 0x55);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2109);

  rig.ppu.WriteRegister(0x2000, 0x04);  // +32 per access
  rig.ppu.WriteRegister(0x2007, 0x66);
  EXPECT_EQ(rig.ppu.m_Vram[0x2109], 0x66);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2129);

  rig.Write(0x0123, 0x77);
  EXPECT_EQ(rig.ppu.m_Vram[0x0123], 0x77);
  EXPECT_EQ(rig.engine.m_lastPatternAddr, 0x0123);
}

TEST(PpuDataPort, ReadsAnswerOneLateThroughTheBuffer) {
  PpuRig rig;
  rig.ppu.m_Vram[0x2000] = 0xAB;
  rig.ppu.m_Vram[0x2001] = 0xCD;
  rig.SetAddress(0x2000);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x00);  // the buffer Reset cleared
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xAB);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xCD);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2003);

  rig.SetAddress(0x2400);  // horizontal: 0x2400 is 0x2000
  rig.ppu.ReadRegister(0x2007);
  rig.SetAddress(0x3000);  // 0x3000-0x3EFF reads its 0x2000 mirror
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xAB);
  rig.SetAddress(0x7000 | 0x3401);  // the address is reduced to 14 bits first
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xAB);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xCD);

  // The palette answers at once and buffers the name-table byte beneath it.
  rig.ppu.m_BgPalette[3] = 0x21;
  rig.ppu.m_SpritePalette[3] = 0x22;
  rig.ppu.m_Vram[0x2713] = 0x77;  // 0x3F13 - 0x1000 = 0x2F13, mirrored
  rig.SetAddress(0x3F03);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x21);
  rig.SetAddress(0x3F13);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x22);
  rig.SetAddress(0x0000);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x77);

  rig.ppu.Reset();
  rig.SetAddress(0x2001);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x00);
}

TEST(PpuMirroring, NameTableWritesLandOnTheirPhysicalTable) {
  for (BYTE vertical : {0, 1}) {
    PpuRig rig(vertical);
    rig.Write(0x2400, 0x11);
    const WORD expected = vertical ? 0x2400 : 0x2000;
    EXPECT_EQ(rig.ppu.m_Vram[expected], 0x11);
    EXPECT_EQ(rig.engine.m_calls.back(), "UpdateNameTable(" + CRecordingEngine::Hex(expected) + ")");
    rig.Write(0x2C05, 0x22);
    EXPECT_EQ(rig.ppu.m_Vram[0x2405], 0x22);
    rig.Write(0x2805, 0x33);
    EXPECT_EQ(rig.ppu.m_Vram[vertical ? 0x2005 : 0x2405], 0x33);
  }
}

TEST(PpuDataPort, UnusedAreaAndWriteProtectDropWrites) {
  PpuRig rig;
  rig.Write(0x3456, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x3457) << "a dropped 0x3000 write still advances";
  EXPECT_TRUE(rig.engine.m_calls.empty());

  rig.ppu.WriteRegister(0x2002, 0x10);
  rig.SetAddress(0x2000);
  rig.ppu.WriteRegister(0x2007, 0x99);
  EXPECT_EQ(rig.ppu.m_Vram[0x2000], 0);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2000) << "a protected write does not advance";
  rig.ppu.WriteRegister(0x2002, 0x00);
  rig.ppu.WriteRegister(0x2007, 0x99);
  EXPECT_EQ(rig.ppu.m_Vram[0x2000], 0x99);
}

TEST(PpuPalette, EntryZeroSetsEveryFourthEntryOfBothPalettes) {
  PpuRig rig;
  rig.Write(0x3F00, 0x0F);
  for (int i : {0, 4, 8, 12}) {
    EXPECT_EQ(rig.ppu.m_BgPalette[i], 0x0F);
    EXPECT_EQ(rig.ppu.m_SpritePalette[i], 0x0F);
  }
  const std::vector<std::string> expected = {
      "UpdateBgPalette(0)",  "UpdateSpritePalette(0)", "UpdateBgPalette(0)",
      "UpdateSpritePalette(0)", "UpdateBgPalette(4)",  "UpdateSpritePalette(4)",
      "UpdateBgPalette(8)",  "UpdateSpritePalette(8)", "UpdateBgPalette(12)",
      "UpdateSpritePalette(12)"};
  EXPECT_EQ(rig.engine.m_calls, expected);
}

TEST(PpuPalette, OtherEntriesAndMirrorsOfEveryFourth) {
  PpuRig rig;
  rig.Write(0x3F05, 0x30);
  EXPECT_EQ(rig.ppu.m_BgPalette[5], 0x30);
  EXPECT_EQ(rig.ppu.m_SpritePalette[5], 0);
  rig.Write(0x3F14, 0x2A);
  EXPECT_EQ(rig.ppu.m_SpritePalette[4], 0x2A);
  EXPECT_EQ(rig.ppu.m_BgPalette[4], 0x2A);
  rig.Write(0x3F01, 0xFF);
  EXPECT_EQ(rig.ppu.m_BgPalette[1], 0x3F);
  rig.Write(0x3F30, 0x12);  // a mirror of 0x3F10: entry 0 again
  EXPECT_EQ(rig.ppu.m_BgPalette[12], 0x12);
}

TEST(PpuRegisters, StatusReadClearsVBlankAndToggle) {
  PpuRig rig;
  rig.ppu.StartVBlank();
  rig.ppu.WriteRegister(0x2006, 0x3F);  // first write: toggle set
  EXPECT_TRUE(CPpu::WriteToggle());
  EXPECT_EQ(rig.ppu.ReadRegister(0x2002) & 0x80, 0x80);
  EXPECT_FALSE(CPpu::WriteToggle());
  EXPECT_EQ(rig.ppu.ReadRegister(0x2002) & 0x80, 0);
  rig.ppu.WriteRegister(0x2006, 0x21);  // a first write again
  rig.ppu.WriteRegister(0x2006, 0x00);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2100);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2006), 0x00);
}

TEST(PpuRegisters, SpriteAddressAndUnreadableRegisters) {
  PpuRig rig;
  rig.ppu.WriteRegister(0x2003, 0x10);
  rig.ppu.WriteRegister(0x2004, 0x01);
  rig.ppu.WriteRegister(0x2004, 0x02);
  EXPECT_EQ(rig.ppu.m_SpriteRam[0x10], 0x02);
  EXPECT_EQ(rig.ppu.m_SpriteRam[0x11], 0x00);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2003), 0x10);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2004), 0);
  rig.ppu.WriteRegister(0x2005, 0x7F);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2005), 0);
  EXPECT_EQ(rig.ppu.ReadRegister(0x4014), 0);
  rig.ppu.WriteRegister(0x2001, 0x1E);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2001), 0x1E);
}

TEST(PpuScroll, WritesFillTheTemporaryAddress) {
  PpuRig rig;
  rig.ppu.WriteRegister(0x2000, 0x03);
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x0C00);
  rig.ppu.WriteRegister(0x2005, 0x7D);  // coarse X 15, fine X 5
  rig.ppu.WriteRegister(0x2005, 0x5E);  // coarse Y 11, fine Y 6
  EXPECT_EQ(rig.ppu.m_nFineX, 5);
  EXPECT_EQ(rig.ppu.m_nFineY, 6);
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x0C00 | 15 | (11 << 5) | (6 << 12));
}

TEST(PpuScroll, ZeroAfterTheLastColumnOrRowFlipsTheTable) {
  PpuRig rig;
  rig.ppu.WriteRegister(0x2005, 0xF8);  // coarse X 31
  rig.ppu.WriteRegister(0x2005, 0xE8);  // coarse Y 29
  rig.ppu.WriteRegister(0x2005, 0x08);  // not 0: no flip
  EXPECT_EQ(rig.ppu.m_TempAddr & 0x400, 0);
  rig.ppu.WriteRegister(0x2005, 0x00);  // second write of 0 at row 29: flip
  EXPECT_EQ(rig.ppu.m_TempAddr & 0x800, 0x800);
  rig.ppu.WriteRegister(0x2005, 0xF8);
  rig.ppu.WriteRegister(0x2005, 0x00);
  rig.ppu.WriteRegister(0x2005, 0x00);  // first write of 0 at column 31: flip
  EXPECT_EQ(rig.ppu.m_TempAddr & 0x400, 0x400);
}

TEST(PpuAddress, FirstWriteSetsFineYFromTheHighBits) {
  PpuRig rig;
  rig.ppu.WriteRegister(0x2006, 0x3F);
  EXPECT_EQ(rig.ppu.m_nFineY, 3);
  rig.ppu.WriteRegister(0x2006, 0x10);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x3F10);
}

TEST(PpuDma, CopiesAWholeRamPageModuloTwoKilobytes) {
  PpuRig rig;
  for (int i = 0; i < 0x800; ++i) rig.ram.WriteByte(static_cast<WORD>(i), static_cast<BYTE>(i * 3 + (i >> 8)));
  rig.ppu.WriteRegister(0x2003, 0x40);
  rig.ppu.WriteRegister(0x4014, 0x02);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(rig.ppu.m_SpriteRam[i], rig.ram.ReadByte(static_cast<WORD>(0x200 + i)));
  EXPECT_EQ(rig.ppu.m_SpriteAddr, 0x40);
  rig.ppu.WriteRegister(0x4014, 0x0A);
  EXPECT_EQ(rig.ppu.m_SpriteRam[5], rig.ram.ReadByte(0x205));
  rig.ppu.WriteRegister(0x4014, 0x07);
  EXPECT_EQ(rig.ppu.m_SpriteRam[255], rig.ram.ReadByte(0x7FF));
  rig.ppu.WriteRegister(0x4014, 0x60);
  EXPECT_EQ(rig.ppu.m_SpriteRam[1], rig.ram.ReadByte(0x001));
}

TEST(PpuTiming, ResetTellsTheEngineEveryPatternByte) {
  PpuRig rig;
  rig.settings.WriteInt("Settings", "Full Screen", 1);
  rig.ppu.WriteRegister(0x2000, 0x80);
  rig.ppu.WriteRegister(0x2006, 0x21);  // leave the toggle set
  rig.engine.m_bRecordPatterns = true;
  rig.ppu.Reset();
  ASSERT_EQ(rig.engine.m_calls.size(), 1u + 0x2000);
  EXPECT_EQ(rig.engine.m_calls[0], "Init()");
  EXPECT_EQ(rig.engine.m_calls[1], "UpdatePattern(0x0000)");
  EXPECT_EQ(rig.engine.m_calls.back(), "UpdatePattern(0x1FFF)");
  EXPECT_EQ(rig.ppu.m_Control, 0);
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  EXPECT_FALSE(CPpu::WriteToggle());
}

TEST(PpuTiming, VerticalBlankDrivesTheEngineInOrder) {
  PpuRig rig;
  rig.ppu.m_BgPalette[0] = 0x21;  // 63, 191, 255
  rig.ppu.WriteRegister(0x2001, 0x10);  // sprites only
  rig.ppu.StartVBlank();
  EXPECT_EQ(rig.ppu.m_Status & 0x80, 0x80);
  const std::vector<std::string> spritesOnly = {"ClearScreen(0,0,0)", "DrawSprites(1)", "EndFrame()",
                                                "ClearScreen(63,191,255)", "DrawSprites(0)"};
  EXPECT_EQ(rig.engine.m_calls, spritesOnly);

  rig.engine.m_calls.clear();
  rig.ppu.WriteRegister(0x2001, 0x08);  // background only
  rig.ppu.StartVBlank();
  const std::vector<std::string> backgroundOnly = {"EndFrame()", "ClearScreen(63,191,255)"};
  EXPECT_EQ(rig.engine.m_calls, backgroundOnly);
}

TEST(PpuTiming, EndVBlankClearsFlagsAndReloadsTheAddressWhenBothLayersShow) {
  PpuRig rig;
  rig.ppu.m_Status = 0xC0 | 0x10;
  rig.ppu.m_TempAddr = 0x2C7F;
  rig.ppu.m_VramAddr = 0x1234;
  rig.ppu.WriteRegister(0x2001, 0x08);
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_Status, 0x10);
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x2C60);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x1234);
  rig.ppu.WriteRegister(0x2001, 0x18);
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2C60);
}

TEST(PpuPalette, MasterPaletteHoldsTheConsoleColours) {
  CRam ram;
  CPpu ppu(&ram, 1);
  EXPECT_EQ(ppu.m_bVertical, 1);
  EXPECT_EQ(ppu.m_RgbPalette[0x00][0], 127);
  EXPECT_EQ(ppu.m_RgbPalette[0x16][0], 248);
  EXPECT_EQ(ppu.m_RgbPalette[0x16][1], 56);
  EXPECT_EQ(ppu.m_RgbPalette[0x3D][2], 248);
  EXPECT_EQ(ppu.m_RgbPalette[0x2C][1], 235);
  CPpu other(&ram, 7);
  EXPECT_EQ(other.m_bVertical, 1);
}
