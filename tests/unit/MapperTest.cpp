#include <gtest/gtest.h>

#include <memory>

#include "core/Mapper0.h"
#include "core/Mapper1.h"
#include "core/Mapper2.h"
#include "core/Mapper3.h"
#include "core/Mapper4.h"
#include "core/Ram.h"
#include "core/Rom.h"
#include "platform/MessageRecorder.h"
#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"
#include "support/RomImage.h"

namespace {
struct MapperRig {
  CRam ram;
  CPpu ppu{&ram, 0};
  CRecordingEngine engine{&ppu};
  CRom rom;
  CMessageRecorder messages;

  explicit MapperRig(const SRomLayout& layout) {
    ppu.SetEngine(&engine);
    EXPECT_TRUE(rom.LoadFromBytes("t.nes", MakeRomFile(layout)));
  }
};

SRomLayout Layout(int prgBanks, int chrBanks, int mapper = 0) {
  SRomLayout s;
  s.nPrgBanks = prgBanks;
  s.nChrBanks = chrBanks;
  s.flags6 = static_cast<BYTE>((mapper & 0x0F) << 4);
  s.flags7 = static_cast<BYTE>(mapper & 0xF0);
  return s;
}
}  // namespace

TEST(Mapper0, SixteenKilobytePrgIsSeenTwiceAndChrComesFrom0x4000) {
  MapperRig rig(Layout(1, 1));
  CMapper0 mapper(&rig.rom, &rig.ppu, &rig.messages);
  for (WORD a : {0x8000, 0x8123, 0xBFFF}) {
    EXPECT_EQ(mapper.ReadByte(a), ImageByte(a - 0x8000));
    EXPECT_EQ(mapper.ReadByte(static_cast<WORD>(a + 0x4000)), mapper.ReadByte(a));
  }
  EXPECT_EQ(mapper.ReadWord(0xFFFC), ImageByte(0x3FFC) | ImageByte(0x3FFD) << 8);
  EXPECT_EQ(rig.ppu.m_Vram[0], ImageByte(0x4000));
  EXPECT_EQ(rig.ppu.m_Vram[0x1FFF], ImageByte(0x4000 + 0x1FFF));
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 0) << "the engine hears of the patterns at reset";
}

TEST(Mapper0, ThirtyTwoKilobytePrgAndCartridgeRam) {
  MapperRig rig(Layout(2, 1));
  CMapper0 mapper(&rig.rom, &rig.ppu, &rig.messages);
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x4000));
  EXPECT_EQ(rig.ppu.m_Vram[5], ImageByte(0x8005));

  mapper.WriteByte(0x6123, 0x77);
  EXPECT_EQ(mapper.ReadByte(0x6123), 0x77);
  mapper.WriteByte(0x6000, 0x34);
  mapper.WriteByte(0x6001, 0x12);
  EXPECT_EQ(mapper.ReadWord(0x6000), 0x1234);

  const BYTE before = mapper.ReadByte(0x8123);
  mapper.WriteByte(0x8123, static_cast<BYTE>(before + 1));
  EXPECT_EQ(mapper.ReadByte(0x8123), before);
  EXPECT_TRUE(rig.messages.Messages().empty());
  EXPECT_EQ(mapper.ReadByte(0x5FFF), 0);

  mapper.WriteWord(0x8000, 0x1234);
  mapper.WriteWord(0x6000, 0x1234);
  ASSERT_EQ(rig.messages.Messages().size(), 2u);
  EXPECT_EQ(rig.messages.Messages()[0], "Error: Trying to write to cartridge ROM");
  EXPECT_EQ(rig.messages.Messages()[1], "CMapper0::WriteWord.");
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0));
}

TEST(Mapper0, WordAtTheEndOfAWindowStaysInsideIt) {
  MapperRig rig(Layout(2, 1));
  CMapper0 mapper(&rig.rom, &rig.ppu, &rig.messages);
  EXPECT_EQ(mapper.ReadWord(0xFFFF), ImageByte(0x7FFF));
  mapper.WriteByte(0x7FFF, 0xAB);
  EXPECT_EQ(mapper.ReadWord(0x7FFF), 0xAB | ImageByte(0) << 8);
}

TEST(Mapper2, SwitchesTheLowerBankAndFixesTheLastBankHigh) {
  MapperRig rig(Layout(8, 0, 2));
  CMapper2 mapper(&rig.rom, &rig.ppu);
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0));
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x1C000));
  EXPECT_EQ(mapper.ReadByte(0xFFFF), ImageByte(0x1FFFF));

  mapper.WriteByte(0x8000, 5);
  EXPECT_EQ(mapper.m_nBank, 5);
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0x14000));
  EXPECT_EQ(mapper.ReadByte(0xBFFF), ImageByte(0x17FFF));
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x1C000));

  mapper.WriteByte(0x6000, 2);  // any address that reaches the mapper switches
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0x8000));
  EXPECT_EQ(mapper.ReadByte(0x6000), 0);
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 0);
}

TEST(Mapper2, SmallImagesFixTheirOwnLastBankAndWrapBankNumbers) {
  MapperRig rig(Layout(4, 0, 2));  // 64 KB
  CMapper2 mapper(&rig.rom, &rig.ppu);
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0xC000));
  mapper.WriteByte(0x8000, 6);  // 6 mod 4 = bank 2
  EXPECT_EQ(mapper.ReadByte(0x8010), ImageByte(0x8010));
  mapper.WriteByte(0x8000, 0xFF);  // 255 mod 4 = bank 3
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0xC000));

  MapperRig tiny(Layout(1, 0, 2));  // a single 16 KB bank is both halves
  CMapper2 one(&tiny.rom, &tiny.ppu);
  EXPECT_EQ(one.ReadByte(0xC001), ImageByte(1));
  one.WriteByte(0x8000, 9);
  EXPECT_EQ(one.ReadByte(0x8001), ImageByte(1));
}

TEST(Mapper3, BankSwitchCopiesChrAndTellsTheEngineByteByByte) {
  MapperRig rig(Layout(2, 4, 3));
  rig.engine.m_bRecordPatterns = false;
  CMapper3 mapper(&rig.rom, &rig.ppu);
  EXPECT_EQ(rig.ppu.m_Vram[0x10], ImageByte(0x8010));
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 0);

  mapper.WriteByte(0x7000, 1);
  EXPECT_EQ(mapper.m_nBank, 1);
  EXPECT_EQ(rig.ppu.m_Vram[0x10], ImageByte(0x8010)) << "writes below 0x8000 switch nothing";
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 0);

  rig.engine.m_bRecordPatterns = true;
  mapper.WriteByte(0x8000, 1);
  for (int i : {0, 0x123, 0x1FFF}) EXPECT_EQ(rig.ppu.m_Vram[i], ImageByte(0x8000 + 0x2000 + i));
  ASSERT_EQ(rig.engine.m_calls.size(), 8192u);
  EXPECT_EQ(rig.engine.m_calls.front(), "UpdatePattern(0x0000)");
  EXPECT_EQ(rig.engine.m_calls[100], "UpdatePattern(0x0064)");
  EXPECT_EQ(rig.engine.m_calls.back(), "UpdatePattern(0x1FFF)");

  mapper.WriteByte(0xFFFF, 6);  // 6 mod 4 = bank 2
  EXPECT_EQ(rig.ppu.m_Vram[7], ImageByte(0x8000 + 0x4000 + 7));
  EXPECT_EQ(mapper.ReadByte(0x6000), 0);
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0));
}

TEST(Mapper3, ImageWithoutChrLeavesPatternMemoryAlone) {
  MapperRig rig(Layout(1, 0, 3));
  rig.ppu.m_Vram[3] = 0x99;
  CMapper3 mapper(&rig.rom, &rig.ppu);
  mapper.WriteByte(0x8000, 1);
  EXPECT_EQ(rig.ppu.m_Vram[3], 0x99);
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0));
}

TEST(Mapper1And4, AnswerNothing) {
  MapperRig rig(Layout(2, 1, 1));
  CMapper1 m1(&rig.rom, &rig.ppu);
  CMapper4 m4(&rig.rom, &rig.ppu);
  for (WORD a : {0x6000, 0x7FFF, 0x8000, 0xFFFC}) {
    m1.WriteByte(a, 0x55);
    m4.WriteByte(a, 0x55);
    EXPECT_EQ(m1.ReadByte(a), 0);
    EXPECT_EQ(m4.ReadByte(a), 0);
    EXPECT_EQ(m1.ReadWord(a), 0);
    EXPECT_EQ(m4.ReadWord(a), 0);
  }
}
