// The images come from MakeRomFile, in which every byte tells where it came
// from; the mapper 3 picture program shows a switch through the engines.
#include <gtest/gtest.h>

#include "core/Mapper0.h"
#include "core/Mapper2.h"
#include "core/Mapper3.h"
#include "core/Ram.h"
#include "core/Rom.h"
#include "platform/MessageRecorder.h"
#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"
#include "support/RomImage.h"

namespace {
struct SMapperRig {
  CRam ram;
  CPpu ppu{&ram, 0};
  CRecordingEngine engine{&ppu};
  CRom rom;
  CMessageRecorder messages;

  SMapperRig(int nPrgBanks, int nChrBanks) {
    ppu.SetEngine(&engine);
    SRomLayout layout;
    layout.nPrgBanks = nPrgBanks;
    layout.nChrBanks = nChrBanks;
    EXPECT_TRUE(rom.LoadFromBytes("t.nes", MakeRomFile(layout)));
  }
};
}  // namespace

TEST(Mapper0, PrgWindowsChrCartridgeRamAndWriteMessages) {
  SMapperRig small(1, 1);  // 16 KB PRG seen twice, CHR from 0x4000
  CMapper0 mirrored(&small.rom, &small.ppu, &small.messages);
  EXPECT_EQ(mirrored.ReadWord(0xFFFC), ImageByte(0x3FFC) | ImageByte(0x3FFD) << 8);
  EXPECT_EQ(small.ppu.m_Vram[0x1FFF], ImageByte(0x4000 + 0x1FFF));

  SMapperRig rig(2, 1);
  CMapper0 mapper(&rig.rom, &rig.ppu, &rig.messages);
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x4000));
  mapper.WriteByte(0x7FFF, 0xAB);
  mapper.WriteByte(0x8000, 0x55);  // ROM stays
  EXPECT_EQ(mapper.ReadWord(0x7FFF), 0xAB | ImageByte(0) << 8);
  EXPECT_TRUE(rig.messages.Messages().empty());
  mapper.WriteWord(0x8000, 0x1234);
  EXPECT_EQ(rig.messages.Messages(),
            std::vector<std::string>{"Error: Trying to write to cartridge ROM"});
}

TEST(Mapper2, SwitchesTheLowerBankAndFixesTheLastBankHigh) {
  SMapperRig rig(8, 0);
  CMapper2 mapper(&rig.rom, &rig.ppu);
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0));
  EXPECT_EQ(mapper.ReadByte(0xFFFF), ImageByte(0x1FFFF));
  mapper.WriteByte(0x6000, 13);  // any address that reaches the mapper; 13 mod 8 = bank 5
  EXPECT_EQ(mapper.ReadByte(0xBFFF), ImageByte(0x17FFF));
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x1C000));
}

TEST(Mapper3, BankSwitchCopiesChrAndTellsTheEngineOnlyOfAChange) {
  SMapperRig rig(2, 4);
  CMapper3 mapper(&rig.rom, &rig.ppu);
  mapper.WriteByte(0x7000, 1);
  EXPECT_EQ(rig.ppu.m_Vram[0x10], ImageByte(0x8010)) << "writes below 0x8000 switch nothing";
  mapper.WriteByte(0x8000, 1);
  EXPECT_EQ(rig.ppu.m_Vram[0x1FFF], ImageByte(0x8000 + 0x2000 + 0x1FFF));
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 8192);
  mapper.WriteByte(0x8000, 5);  // 5 mod 4: the bank in place changes nothing
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 8192);
  mapper.WriteByte(0xFFFF, 6);  // 6 mod 4 = bank 2
  EXPECT_EQ(rig.ppu.m_Vram[7], ImageByte(0x8000 + 0x4000 + 7));
}
