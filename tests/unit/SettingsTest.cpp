#include <gtest/gtest.h>

#include <filesystem>

#include "platform/MemorySettingsStore.h"
#include "platform/QtSettingsStore.h"
#include "platform/SettingsTable.h"

TEST(SettingsTable, FirstRunWritesEveryValueInOrder) {
  CMemorySettingsStore store;
  EXPECT_TRUE(EnsureFirstRunSettings(store));
  const std::vector<std::string> expected = {
      "Settings/default",  "Settings/Full Screen", "Settings/FPS",      "Settings/DebugPpu",
      "Settings/Resolution", "Settings/ResolutionX", "Settings/ResolutionY",
      "Settings/GraphicEngine", "Settings/CpuEngine", "Settings/LastPath", "Input/Type",
      "Input/A", "Input/B", "Input/Select", "Input/Start", "Input/Up", "Input/Down",
      "Input/Left", "Input/Right", "MRU/File1", "MRU/File2", "MRU/File3"};
  EXPECT_EQ(store.WriteLog(), expected);
  EXPECT_EQ(store.GetString("Settings", "GraphicEngine", ""), "SDL");
  EXPECT_EQ(store.GetString("Settings", "LastPath", ""), "C:\\");
  EXPECT_EQ(store.GetInt("Input", "Start", 0), 28);
  EXPECT_EQ(store.GetInt("Settings", "ResolutionY", 0), 240);
  EXPECT_EQ(store.GetString("MRU", "File3", ""), "NULL");
  EXPECT_FALSE(EnsureFirstRunSettings(store)) << "later runs write nothing";
}

TEST(SettingsTable, MarkerOfZeroRewritesChangedValues) {
  CMemorySettingsStore store;
  store.WriteInt("Settings", "default", 0);
  store.WriteInt("Input", "A", 57);
  store.WriteString("MRU", "File1", "/roms/game.nes");
  EXPECT_TRUE(EnsureFirstRunSettings(store));
  EXPECT_EQ(store.GetInt("Input", "A", 0), 44);
  EXPECT_EQ(store.GetString("MRU", "File1", ""), "NULL");
}

TEST(MemorySettings, ReadersGetTheirOwnDefaultForMissingValues) {
  CMemorySettingsStore store;
  EXPECT_EQ(store.GetInt("Settings", "FPS", 7), 7);
  EXPECT_EQ(store.GetString("Settings", "LastPath", "C:"), "C:");
  store.WriteInt("Settings", "FPS", 1);
  EXPECT_EQ(store.GetInt("Settings", "FPS", 7), 1);
}

TEST(QtSettings, ValuesPersistInTheFileAtOnce) {
  const auto path = std::filesystem::temp_directory_path() / "tolvar_settings_test.ini";
  std::filesystem::remove(path);
  {
    CQtSettingsStore store(path.string());
    EXPECT_EQ(store.GetInt("Settings", "FPS", 3), 3);
    EXPECT_EQ(store.GetString("Settings", "GraphicEngine", "SDL"), "SDL");
    store.WriteInt("Settings", "FPS", 1);
    store.WriteString("Settings", "GraphicEngine", "DirectX");
    store.WriteString("MRU", "File1", "/home/player/roms/My Game.nes");
    EXPECT_TRUE(std::filesystem::exists(path)) << "each write is immediate";
  }
  CQtSettingsStore reopened(path.string());
  EXPECT_EQ(reopened.GetInt("Settings", "FPS", 0), 1);
  EXPECT_EQ(reopened.GetString("Settings", "GraphicEngine", "SDL"), "DirectX");
  EXPECT_EQ(reopened.GetString("MRU", "File1", ""), "/home/player/roms/My Game.nes");
  EXPECT_EQ(reopened.GetInt("Settings", "GraphicEngine", 5), 5) << "a text is no number";
  std::filesystem::remove(path);
}
