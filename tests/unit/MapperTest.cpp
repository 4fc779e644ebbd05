// The mappers as the console builds them, on images from MakeRomFile, in
// which every byte tells where it came from; the mapper 3 picture program
// shows a switch through the engines.
#include <gtest/gtest.h>

#include "core/Mapper.h"
#include "core/Memory.h"
#include "support/NesRig.h"
#include "support/RomImage.h"

namespace {
// An image for the mapper, of 16 KB PRG and 8 KB CHR banks.
std::vector<BYTE> Image(int nMapper, int nPrgBanks, int nChrBanks) {
  return MakeRomFile(
      {.nPrgBanks = nPrgBanks, .nChrBanks = nChrBanks, .flags6 = BYTE(nMapper << 4)});
}
}  // namespace

TEST(Mapper0, PrgWindowsChrCartridgeRamAndWriteMessages) {
  SNesRig small;
  ASSERT_TRUE(small.Load(Image(0, 1, 1)));  // 16 KB PRG seen twice, CHR from 0x4000
  CMapper& mirrored = *small.nes->Memory()->m_pMapper;
  EXPECT_EQ(mirrored.ReadWord(0xFFFC), ImageByte(0x3FFC) | ImageByte(0x3FFD) << 8);
  EXPECT_EQ(small.nes->Ppu()->m_Vram[0x1FFF], ImageByte(0x4000 + 0x1FFF));

  SNesRig rig;
  ASSERT_TRUE(rig.Load(Image(0, 2, 1)));
  CMapper& mapper = *rig.nes->Memory()->m_pMapper;
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
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Image(2, 8, 0)));
  CMapper& mapper = *rig.nes->Memory()->m_pMapper;
  EXPECT_EQ(mapper.ReadByte(0x8000), ImageByte(0));
  EXPECT_EQ(mapper.ReadByte(0xFFFF), ImageByte(0x1FFFF));
  mapper.WriteByte(0x6000, 13);  // any address that reaches the mapper; 13 mod 8 = bank 5
  EXPECT_EQ(mapper.ReadByte(0xBFFF), ImageByte(0x17FFF));
  EXPECT_EQ(mapper.ReadByte(0xC000), ImageByte(0x1C000));
}

TEST(Mapper3, BankSwitchCopiesChrAndTellsTheEngineOnlyOfAChange) {
  SNesRig rig;
  ASSERT_TRUE(rig.Load(Image(3, 2, 4)));
  CMapper& mapper = *rig.nes->Memory()->m_pMapper;
  const BYTE* pVram = rig.nes->Ppu()->m_Vram;
  mapper.WriteByte(0x7000, 1);
  EXPECT_EQ(pVram[0x10], ImageByte(0x8010)) << "writes below 0x8000 switch nothing";
  mapper.WriteByte(0x8000, 1);
  EXPECT_EQ(pVram[0x1FFF], ImageByte(0x8000 + 0x2000 + 0x1FFF));
  EXPECT_EQ(rig.Engine().m_nPatternUpdates, 8192);
  mapper.WriteByte(0x8000, 5);  // 5 mod 4: the bank in place changes nothing
  EXPECT_EQ(rig.Engine().m_nPatternUpdates, 8192);
  mapper.WriteByte(0xFFFF, 6);  // 6 mod 4 = bank 2
  EXPECT_EQ(pVram[7], ImageByte(0x8000 + 0x4000 + 7));
}
