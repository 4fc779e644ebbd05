#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Rom.h"
#include "support/RomImage.h"

TEST(RomImage, DecodesTheHeaderAndKeepsEveryByteAfterIt) {
  struct SCase {
    int nPrgBanks;
    BYTE flags6, flags7;
    int nMapper;
    BYTE vertical, battery, trainer, fourScreen;
  };
  const SCase cases[] = {
      {1, 0x01, 0x00, 0x00, 1, 0, 0, 0},
      {2, 0x31, 0x40, 0x43, 1, 0, 0, 0},
      {2, 0x0E, 0x0F, 0x00, 0, 1, 1, 1},  // the low nibble of byte 7 is unused
  };
  for (const SCase& c : cases) {
    SRomLayout layout;
    layout.nPrgBanks = c.nPrgBanks;
    layout.flags6 = c.flags6;
    layout.flags7 = c.flags7;
    layout.nExtraBytes = 100;
    auto file = MakeRomFile(layout);
    for (int i = 8; i < 16; ++i) file[i] = 0xA5;  // unused header bytes
    CRom rom;
    ASSERT_TRUE(rom.LoadFromBytes("a.nes", file));
    EXPECT_EQ(rom.m_nPrgSize, c.nPrgBanks * 16384);
    EXPECT_EQ(rom.m_nChrSize, 8192);
    EXPECT_EQ(rom.m_nMapper, c.nMapper);
    EXPECT_EQ(rom.m_bVertical, c.vertical);
    EXPECT_EQ(rom.m_bBattery, c.battery);
    EXPECT_EQ(rom.m_bTrainer, c.trainer);
    EXPECT_EQ(rom.m_bFourScreen, c.fourScreen);
    EXPECT_EQ(rom.DataSize(), c.nPrgBanks * 16384 + 8192 + 100);
    EXPECT_EQ(rom.Data()[0], ImageByte(0)) << "a trainer is not skipped";
  }
}

TEST(RomImage, RefusesBadFilesAndKeepsThePreviousImage) {
  CRom rom;
  SRomLayout good;
  good.flags6 = 0x21;  // mapper 2, vertical
  ASSERT_TRUE(rom.LoadFromBytes("good.nes", MakeRomFile(good)));
  const auto before = rom.m_data;
  auto wrongSignature = MakeRomFile(SRomLayout{});
  wrongSignature[3] = 0x1B;
  auto layout = [](int prg, int chr, int missing) {
    SRomLayout s;
    s.nPrgBanks = prg;
    s.nChrBanks = chr;
    s.nMissingBytes = missing;
    return MakeRomFile(s);
  };
  const std::vector<std::vector<BYTE>> bad = {{},
                                              {'N', 'E', 'S', 0x1A, 1, 1, 0, 0},
                                              wrongSignature,
                                              layout(2, 1, 1),
                                              layout(1, 1, 1),
                                              layout(255, 255, 255 * 16384 + 255 * 8192 - 40000)};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const std::string path = "bad" + std::to_string(i) + ".nes";
    EXPECT_FALSE(rom.LoadFromBytes(path, bad[i])) << i;
    EXPECT_FALSE(rom.LoadError().empty());
    EXPECT_EQ(rom.m_strFileName, path) << "the rejected path still replaces the file name";
    EXPECT_EQ(rom.m_nMapper, 2);
    EXPECT_EQ(rom.m_data, before);
  }
  EXPECT_TRUE(rom.LoadFromBytes("16k.nes", layout(1, 1, 0)))
      << "16 KB PRG needs data up to its CHR only";
}

TEST(RomImage, ReadsFilesNotFolders) {
  CRom rom;
  EXPECT_FALSE(rom.Load("/nonexistent/dir/none.nes"));
  EXPECT_EQ(rom.LoadError(), "The file cannot be read.");
  EXPECT_FALSE(rom.Load(std::filesystem::temp_directory_path().string()));
  const auto path =
      std::filesystem::temp_directory_path() / ("tolvar_rom_" + std::to_string(::getpid()));
  const std::vector<BYTE> file = MakeRomFile(SRomLayout{});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  ASSERT_TRUE(rom.Load(path.string()));
  EXPECT_EQ(rom.m_strFileName, path.string());
  EXPECT_EQ(rom.Data()[0x8000], ImageByte(0x8000));
  std::filesystem::remove(path);
}
