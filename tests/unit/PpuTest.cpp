#include <gtest/gtest.h>

#include "core/Ram.h"
#include "platform/MemorySettingsStore.h"
#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"

namespace {
struct SPpuRig {
  CRam ram;
  CMemorySettingsStore settings;
  CPpu ppu;
  CRecordingEngine engine{&ppu};

  explicit SPpuRig(BYTE vertical = 0) : ppu(&ram, vertical, &settings) {
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
  BYTE Read(WORD a) {
    SetAddress(a);
    return ppu.ReadRegister(0x2007);
  }
};
}  // namespace

TEST(PpuDataPort, WritesReadsMirroringAndDroppedWrites) {
  for (BYTE vertical : {0, 1}) {
    SPpuRig rig(vertical);
    rig.Write(0x2400, 0x11);
    const WORD physical = vertical ? 0x2400 : 0x2000;
    EXPECT_EQ(rig.ppu.m_Vram[physical], 0x11);
    EXPECT_EQ(rig.engine.m_calls.back(),
              "UpdateNameTable(" + CRecordingEngine::Hex(physical) + ")");
    rig.Write(0x2C05, 0x22);
    EXPECT_EQ(rig.ppu.m_Vram[0x2405], 0x22);
    rig.Write(0x2805, 0x33);
    EXPECT_EQ(rig.ppu.m_Vram[vertical ? 0x2005 : 0x2405], 0x33);
  }
  SPpuRig rig;
  rig.Write(0x2108, 0x55);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2109);
  rig.ppu.WriteRegister(0x2000, 0x04);  // +32 per access
  rig.ppu.WriteRegister(0x2007, 0xAB);
  EXPECT_EQ(rig.ppu.m_Vram[0x2109], 0xAB);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2129);
  rig.ppu.WriteRegister(0x2000, 0x00);
  rig.Write(0x0123, 0x77);
  EXPECT_EQ(rig.engine.m_lastPatternAddr, 0x0123);
  // Reads answer one access late; the palette at once, buffering the name
  // table beneath it (0x3F09 - 0x1000 = 0x2F09, mirrored onto 0x2709).
  rig.ppu.m_Vram[0x2709] = 0x66;
  rig.ppu.m_BgPalette[9] = 0x21;
  EXPECT_EQ(rig.Read(0x2109), 0x00) << "the buffer Reset cleared";
  EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0xAB);
  rig.Read(0x7000 | 0x3109);  // 14 bits; 0x3000-0x3EFF reads its mirror
  EXPECT_EQ(rig.Read(0x0000), 0xAB);
  EXPECT_EQ(rig.Read(0x3F09), 0x21);
  EXPECT_EQ(rig.Read(0x0000), 0x66);
  rig.engine.m_calls.clear();
  rig.Write(0x3456, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x3457) << "a dropped 0x3000 write still advances";
  rig.ppu.WriteRegister(0x2002, 0x10);  // writes ignored, without advancing
  rig.Write(0x2000, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2000);
  EXPECT_EQ(rig.ppu.m_Vram[0x2000], 0);
  EXPECT_TRUE(rig.engine.m_calls.empty());
}

TEST(PpuPalette, EntryZeroSetsEveryFourthOfBothOthersTheirOwn) {
  SPpuRig rig;
  rig.Write(0x3F00, 0x0F);
  EXPECT_EQ(rig.engine.m_calls,
            (std::vector<std::string>{"UpdateBgPalette(0)", "UpdateSpritePalette(0)",
                                      "UpdateBgPalette(0)", "UpdateSpritePalette(0)",
                                      "UpdateBgPalette(4)", "UpdateSpritePalette(4)",
                                      "UpdateBgPalette(8)", "UpdateSpritePalette(8)",
                                      "UpdateBgPalette(12)", "UpdateSpritePalette(12)"}));
  EXPECT_EQ(rig.ppu.m_SpritePalette[12], 0x0F);
  rig.Write(0x3F05, 0x30);
  rig.Write(0x3F14, 0x2A);
  rig.Write(0x3F01, 0xFF);
  rig.Write(0x3F3C, 0x12);  // a mirror of 0x3F1C
  EXPECT_EQ(rig.ppu.m_BgPalette[5], 0x30);
  EXPECT_EQ(rig.ppu.m_SpritePalette[5], 0);
  EXPECT_EQ(rig.ppu.m_BgPalette[4], 0x2A);
  EXPECT_EQ(rig.ppu.m_BgPalette[1], 0x3F);
  EXPECT_EQ(rig.ppu.m_BgPalette[12], 0x12);
  CPpu other(&rig.ram, 7);
  EXPECT_EQ(other.m_bVertical, 1);
  const BYTE colours[][4] = {{0x00, 127, 127, 127}, {0x16, 248, 56, 0}, {0x2C, 0, 235, 219}};
  for (const auto& c : colours)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(other.m_RgbPalette[c[0]][i], c[i + 1]);
}

TEST(PpuRegisters, StatusToggleScrollAddressSpriteMemoryAndDma) {
  SPpuRig rig;
  rig.ppu.StartVBlank();
  rig.ppu.WriteRegister(0x2006, 0x3F);  // a first write; fine Y from its bits
  EXPECT_EQ(rig.ppu.m_nFineY, 3);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2002) & 0x80, 0x80);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2002) & 0x80, 0) << "the read cleared it, and the toggle";
  rig.SetAddress(0x2100);
  EXPECT_EQ(rig.ppu.ReadRegister(0x2006), 0x00);
  rig.ppu.WriteRegister(0x2000, 0x03);
  rig.ppu.WriteRegister(0x2005, 0x7D);  // coarse X 15, fine X 5
  rig.ppu.WriteRegister(0x2005, 0x5E);  // coarse Y 11, fine Y 6
  EXPECT_EQ(rig.ppu.m_nFineX, 5);
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x0C00 | 15 | 11 << 5 | 6 << 12);
  // A zero after the last column (31) or row (29) flips the table.
  rig.ppu.WriteRegister(0x2000, 0x00);
  for (BYTE b : {0xF8, 0xE8, 0x08, 0x00}) rig.ppu.WriteRegister(0x2005, b);
  EXPECT_EQ(rig.ppu.m_TempAddr & 0xC00, 0x800);
  for (BYTE b : {0xF8, 0x00, 0x00}) rig.ppu.WriteRegister(0x2005, b);
  EXPECT_EQ(rig.ppu.m_TempAddr & 0xC00, 0xC00);

  rig.ppu.WriteRegister(0x2003, 0x10);
  rig.ppu.WriteRegister(0x2004, 0x01);
  rig.ppu.WriteRegister(0x2004, 0x02);  // the address does not advance
  EXPECT_EQ(rig.ppu.m_SpriteRam[0x10], 0x02);
  EXPECT_EQ(rig.ppu.m_SpriteRam[0x11], 0x00);
  for (WORD a : {0x2004, 0x2005, 0x4014}) EXPECT_EQ(rig.ppu.ReadRegister(a), 0);
  for (int i = 0; i < 0x800; ++i)
    rig.ram.WriteByte(static_cast<WORD>(i), static_cast<BYTE>(i * 3 + (i >> 8)));
  rig.ppu.WriteRegister(0x4014, 0x0A);  // page 0x0A is 0x200 of the 2 KB
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(rig.ppu.m_SpriteRam[i], rig.ram.ReadByte(static_cast<WORD>(0x200 + i)));
  EXPECT_EQ(rig.ppu.m_SpriteAddr, 0x10);
}

TEST(PpuTiming, ResetVerticalBlankAndItsEnd) {
  SPpuRig rig;
  rig.settings.WriteInt("Settings", "Full Screen", 1);
  rig.ppu.WriteRegister(0x2006, 0x21);  // leave the toggle set
  rig.engine.m_bRecordPatterns = true;
  rig.ppu.Reset();
  ASSERT_EQ(rig.engine.m_calls.size(), 1u + 0x2000);
  EXPECT_EQ(rig.engine.m_calls[0], "Init()");
  EXPECT_EQ(rig.engine.m_calls[1], "UpdatePattern(0x0000)");
  EXPECT_EQ(rig.engine.m_calls.back(), "UpdatePattern(0x1FFF)");
  EXPECT_EQ(rig.ppu.m_bFullScreen, 1);
  EXPECT_FALSE(CPpu::WriteToggle());

  rig.engine.m_calls.clear();
  rig.ppu.m_BgPalette[0] = 0x21;        // 63, 191, 255
  rig.ppu.WriteRegister(0x2001, 0x10);  // sprites only
  rig.ppu.StartVBlank();
  rig.ppu.WriteRegister(0x2001, 0x08);  // background only
  rig.ppu.StartVBlank();
  EXPECT_EQ(rig.engine.m_calls,
            (std::vector<std::string>{"ClearScreen(0,0,0)", "DrawSprites(1)", "EndFrame()",
                                      "ClearScreen(63,191,255)", "DrawSprites(0)", "EndFrame()",
                                      "ClearScreen(63,191,255)"}));
  rig.ppu.m_Status = 0xD0;
  rig.ppu.m_TempAddr = 0x2C7F;
  rig.ppu.m_VramAddr = 0x1234;
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_Status, 0x10);
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x2C60);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x1234) << "reloaded only when both layers show";
  rig.ppu.WriteRegister(0x2001, 0x18);
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2C60);
}
