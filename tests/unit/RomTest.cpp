#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/Rom.h"
#include "support/RomImage.h"

namespace {
std::string WriteTempFile(const std::string& name, const std::vector<BYTE>& bytes) {
  const auto path = std::filesystem::temp_directory_path() / ("tolvar_romtest_" + name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}
}  // namespace

TEST(RomHeader, DecodesSizesFlagsAndMapper) {
  CRom rom;
  SRomLayout layout;
  layout.nPrgBanks = 1;
  layout.nChrBanks = 1;
  layout.flags6 = 0x01;
  ASSERT_TRUE(rom.LoadFromBytes("a.nes", MakeRomFile(layout)));
  EXPECT_EQ(rom.m_nPrgSize, 16384);
  EXPECT_EQ(rom.m_nChrSize, 8192);
  EXPECT_EQ(rom.m_bVertical, 1);
  EXPECT_EQ(rom.m_nMapper, 0);

  layout.flags6 = 0x31;
  layout.flags7 = 0x40;
  ASSERT_TRUE(rom.LoadFromBytes("b.nes", MakeRomFile(layout)));
  EXPECT_EQ(rom.m_nMapper, 0x43);
  EXPECT_EQ(rom.m_bVertical, 1);

  layout.flags6 = 0x0E;
  layout.flags7 = 0x0F;  // low nibble of byte 7 is not used
  ASSERT_TRUE(rom.LoadFromBytes("c.nes", MakeRomFile(layout)));
  EXPECT_EQ(rom.m_bBattery, 1);
  EXPECT_EQ(rom.m_bTrainer, 1);
  EXPECT_EQ(rom.m_bFourScreen, 1);
  EXPECT_EQ(rom.m_bVertical, 0);
  EXPECT_EQ(rom.m_nMapper, 0);
  // A trainer is not skipped: the data still start at file offset 16.
  EXPECT_EQ(rom.Data()[0], ImageByte(0));
}

TEST(RomHeader, UnusedBytesChangeNothingAndExtraDataIsKept) {
  SRomLayout layout;
  layout.nExtraBytes = 100;
  auto file = MakeRomFile(layout);
  for (int i = 8; i < 16; ++i) file[i] = 0xA5;
  CRom rom;
  ASSERT_TRUE(rom.LoadFromBytes("x.nes", file));
  EXPECT_EQ(rom.m_nPrgSize, 32768);
  EXPECT_EQ(rom.m_nChrSize, 8192);
  EXPECT_EQ(rom.m_nMapper, 0);
  EXPECT_EQ(rom.m_bVertical, 0);
  EXPECT_EQ(rom.DataSize(), 32768 + 8192 + 100);
}

TEST(RomLoad, RefusesBadFilesAndKeepsThePreviousImage) {
  CRom rom;
  SRomLayout good;
  good.flags6 = 0x21;  // mapper 2, vertical
  ASSERT_TRUE(rom.LoadFromBytes("good.nes", MakeRomFile(good)));
  const auto before = rom.m_data;

  auto wrongSignature = MakeRomFile(SRomLayout{});
  wrongSignature[3] = 0x1B;
  SRomLayout truncated;
  truncated.nMissingBytes = 1;
  SRomLayout headerOnlyClaimsData;
  headerOnlyClaimsData.nMissingBytes = 2 * 16384 + 8192;
  SRomLayout bigClaim;
  bigClaim.nPrgBanks = 255;
  bigClaim.nChrBanks = 255;
  bigClaim.nMissingBytes = 255 * 16384 + 255 * 8192 - 40000;

  const std::vector<std::vector<BYTE>> bad = {
      {},                                   // empty file
      {'N', 'E', 'S', 0x1A, 1, 1, 0, 0},    // shorter than the header
      wrongSignature,
      MakeRomFile(truncated),
      MakeRomFile(headerOnlyClaimsData),
      MakeRomFile(bigClaim),
  };
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const std::string path = "bad" + std::to_string(i) + ".nes";
    EXPECT_FALSE(rom.LoadFromBytes(path, bad[i])) << "case " << i;
    EXPECT_EQ(rom.m_strFileName, path) << "the rejected path still replaces the file name";
    EXPECT_EQ(rom.m_nMapper, 2);
    EXPECT_EQ(rom.m_bVertical, 1);
    EXPECT_EQ(rom.m_nPrgSize, 32768);
    EXPECT_EQ(rom.m_data, before);
  }
}

TEST(RomLoad, SixteenKilobytePrgNeedsDataOnlyUpToItsChr) {
  SRomLayout layout;
  layout.nPrgBanks = 1;
  layout.nChrBanks = 1;
  CRom rom;
  EXPECT_TRUE(rom.LoadFromBytes("ok.nes", MakeRomFile(layout)));
  layout.nMissingBytes = 1;
  EXPECT_FALSE(rom.LoadFromBytes("short.nes", MakeRomFile(layout)));
}

TEST(RomLoad, ReadsFilesFromDisk) {
  CRom rom;
  EXPECT_FALSE(rom.Load("/nonexistent/dir/none.nes"));
  EXPECT_EQ(rom.m_strFileName, "/nonexistent/dir/none.nes");
  EXPECT_FALSE(rom.Load(std::filesystem::temp_directory_path().string()));  // a folder

  const std::string path = WriteTempFile("disk.nes", MakeRomFile(SRomLayout{}));
  ASSERT_TRUE(rom.Load(path));
  EXPECT_EQ(rom.m_strFileName, path);
  EXPECT_EQ(rom.DataSize(), 32768 + 8192);
  EXPECT_EQ(rom.Data()[0x8000], ImageByte(0x8000));

  const std::string empty = WriteTempFile("empty.nes", {});
  EXPECT_FALSE(rom.Load(empty));
  std::filesystem::remove(path);
  std::filesystem::remove(empty);
}
