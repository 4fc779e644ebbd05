#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Rom.h"
#include "support/RomImage.h"

namespace {
std::vector<BYTE> Image(int nPrg, int nChr, BYTE flags6 = 0, BYTE flags7 = 0, int nMissing = 0) {
  SRomLayout layout;
  layout.nPrgBanks = nPrg;
  layout.nChrBanks = nChr;
  layout.flags6 = flags6;
  layout.flags7 = flags7;
  layout.nMissingBytes = nMissing;
  return MakeRomFile(layout);
}
}  // namespace

TEST(RomImage, DecodesTheHeaderAndKeepsEveryByteAfterIt) {
  // flags 6 and 7, then mapper, vertical, battery, trainer, four-screen
  const int cases[][7] = {{0x01, 0x00, 0x00, 1, 0, 0, 0},
                          {0x31, 0x40, 0x43, 1, 0, 0, 0},
                          {0x0E, 0x0F, 0x00, 0, 1, 1, 1}};  // byte 7's low nibble is unused
  for (const auto& c : cases) {
    auto file = Image(2, 1, static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]));
    for (int i = 8; i < 16; ++i) file[i] = 0xA5;  // unused header bytes
    file.insert(file.end(), 100, 0x42);           // bytes after the CHR data are kept
    CRom rom;
    ASSERT_TRUE(rom.LoadFromBytes("a.nes", file));
    const int got[] = {rom.m_nMapper, rom.m_bVertical, rom.m_bBattery, rom.m_bTrainer,
                       rom.m_bFourScreen};
    EXPECT_EQ(std::vector<int>(got, got + 5), std::vector<int>(c + 2, c + 7)) << c[0];
    EXPECT_EQ(rom.m_nPrgSize, 2 * 16384);
    EXPECT_EQ(rom.m_nChrSize, 8192);
    EXPECT_EQ(rom.DataSize(), 2 * 16384 + 8192 + 100);
    EXPECT_EQ(rom.Data()[0], ImageByte(0)) << "a trainer is not skipped";
  }
}

TEST(RomImage, RefusesBadFilesAndKeepsThePreviousImage) {
  CRom rom;
  ASSERT_TRUE(rom.LoadFromBytes("good.nes", Image(2, 1, 0x21)));  // mapper 2, vertical
  const auto before = rom.m_data;
  auto wrongSignature = Image(2, 1);
  wrongSignature[3] = 0x1B;
  const std::vector<std::vector<BYTE>> bad = {
      {},
      {'N', 'E', 'S', 0x1A, 1, 1, 0, 0},
      wrongSignature,
      Image(2, 1, 0, 0, 1),
      Image(1, 1, 0, 0, 1),
      Image(255, 255, 0, 0, 255 * 16384 + 255 * 8192 - 40000)};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const std::string path = "bad" + std::to_string(i) + ".nes";
    EXPECT_FALSE(rom.LoadFromBytes(path, bad[i])) << i;
    EXPECT_FALSE(rom.LoadError().empty());
    EXPECT_EQ(rom.m_strFileName, path) << "the rejected path still replaces the file name";
    EXPECT_EQ(rom.m_nMapper, 2);
    EXPECT_EQ(rom.m_data, before);
  }
  EXPECT_TRUE(rom.LoadFromBytes("16k.nes", Image(1, 1)))
      << "16 KB PRG needs data up to its CHR only";
}

TEST(RomImage, ReadsFilesNotFolders) {
  CRom rom;
  EXPECT_FALSE(rom.Load("/nonexistent/dir/none.nes"));
  EXPECT_EQ(rom.LoadError(), "The file cannot be read.");
  EXPECT_FALSE(rom.Load(std::filesystem::temp_directory_path().string()));
  const auto path =
      std::filesystem::temp_directory_path() / ("tolvar_rom_" + std::to_string(::getpid()));
  const std::vector<BYTE> file = Image(2, 1);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  ASSERT_TRUE(rom.Load(path.string()));
  EXPECT_EQ(rom.Data()[0x8000], ImageByte(0x8000));
  std::filesystem::remove(path);
}
