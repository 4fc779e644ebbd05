#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Rom.h"
#include "support/RomImage.h"

TEST(RomImage, DecodesTheHeaderAndKeepsEveryByteAfterIt) {
  // flags 6 and 7, then mapper, vertical, battery, trainer, four-screen
  const int cases[][7] = {{0x01, 0x00, 0x00, 1, 0, 0, 0},
                          {0x31, 0x40, 0x43, 1, 0, 0, 0},
                          {0x0E, 0x0F, 0x00, 0, 1, 1, 1}};  // byte 7's low nibble is unused
  for (const auto& c : cases) {
    auto file = MakeRomFile({.flags6 = static_cast<BYTE>(c[0]), .flags7 = static_cast<BYTE>(c[1])});
    for (int i = 8; i < 16; ++i) file[i] = 0xA5;  // unused header bytes
    file.insert(file.end(), 100, 0x42);           // bytes after the CHR data are kept
    CRom rom;
    ASSERT_TRUE(rom.LoadFromBytes("a.nes", file));
    const int got[] = {rom.m_nMapper, rom.m_bVertical, rom.m_bBattery, rom.m_bTrainer,
                       rom.m_bFourScreen};
    EXPECT_EQ(std::vector<int>(got, got + 5), std::vector<int>(c + 2, c + 7)) << c[0];
    EXPECT_EQ(rom.DataSize(), 2 * 16384 + 8192 + 100);
    EXPECT_EQ(rom.Data()[0], ImageByte(0)) << "a trainer is not skipped";
  }
}

TEST(RomImage, RefusesBadFilesAndKeepsThePreviousImage) {
  const auto path =
      std::filesystem::temp_directory_path() / ("tolvar_rom_" + std::to_string(::getpid()));
  const std::vector<BYTE> good = MakeRomFile({});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(good.data()), static_cast<std::streamsize>(good.size()));
  CRom rom;
  ASSERT_TRUE(rom.Load(path.string()));
  EXPECT_EQ(rom.Data()[0x8000], ImageByte(0x8000));
  const auto before = rom.m_data;
  std::filesystem::remove(path);
  EXPECT_FALSE(rom.Load(path.string())) << "the file went away after it was chosen";
  EXPECT_EQ(rom.LoadError(), "The file cannot be read.");

  auto wrongSignature = good;
  wrongSignature[3] = 0x1B;
  // empty, a truncated header, sizes past the end of the file
  const std::vector<std::vector<BYTE>> bad = {
      {},
      {'N', 'E', 'S', 0x1A, 1, 1, 0, 0},
      wrongSignature,
      MakeRomFile({.nMissingBytes = 1}),
      MakeRomFile({.nPrgBanks = 255, .nChrBanks = 255, .nMissingBytes = 255 * 24576 - 40000})};
  for (const auto& file : bad) {
    EXPECT_FALSE(rom.LoadFromBytes("bad.nes", file)) << file.size();
    EXPECT_FALSE(rom.LoadError().empty());
    EXPECT_EQ(rom.m_data, before);
  }
  EXPECT_TRUE(rom.LoadFromBytes("16k.nes", MakeRomFile({.nPrgBanks = 1})))
      << "16 KB PRG needs data up to its CHR only";
}
