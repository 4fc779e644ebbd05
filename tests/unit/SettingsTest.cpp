#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

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

TEST(SettingsTable, MissingMarkerFillsOnlyMissingValues) {
  // A settings file that lost its end (the marker sorts last) keeps the
  // user's keys and recent files.
  CMemorySettingsStore store;
  store.WriteInt("Input", "A", 57);
  store.WriteString("MRU", "File1", "/roms/game.nes");
  EXPECT_TRUE(EnsureFirstRunSettings(store));
  EXPECT_EQ(store.GetInt("Input", "A", 0), 57);
  EXPECT_EQ(store.GetString("MRU", "File1", ""), "/roms/game.nes");
  EXPECT_EQ(store.GetInt("Settings", "default", 0), 1);
  EXPECT_EQ(store.GetInt("Input", "B", 0), 46);
  EXPECT_EQ(store.WriteLog().size(), 2u + SettingsTable().size() - 2u);
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

namespace {
std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(QtSettings, HostileFilesGiveDefaultsAndAreNeverClobbered) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tolvar_hostile_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  struct SCase {
    const char* pszName;
    std::string content;
    bool bReadOnly;
  };
  const SCase cases[] = {
      {"truncated", "[Input]\nA=57\nB=4", false},
      {"wrong types and ranges",
       "[Input]\nA=999\nB=abc\nUp=1, 2\n[Settings]\nResolutionX=100000\nFPS=7\n"
       "GraphicEngine=a, b\ndefault=1\n",
       false},
      {"garbage", std::string("\x01\xff[[[=\n\0\0==\n[Input\nA==3\n", 22), true},
  };
  for (const SCase& c : cases) {
    const fs::path path = dir / (std::string(c.pszName) + ".conf");
    { std::ofstream(path, std::ios::binary) << c.content; }
    CQtSettingsStore store(path.string());
    EXPECT_EQ(store.IsReadOnly(), c.bReadOnly) << c.pszName;
    EXPECT_EQ(store.GetInt("Input", "B", 46), c.pszName == std::string("truncated") ? 4 : 46)
        << c.pszName;
    EXPECT_EQ(store.GetInt("Input", "Up", 200), 200) << c.pszName;
    EXPECT_EQ(store.GetInt("Settings", "ResolutionX", 256), 256) << c.pszName;
    EXPECT_EQ(store.GetInt("Settings", "FPS", 0), 0) << c.pszName;
    EXPECT_EQ(store.GetString("Settings", "GraphicEngine", "SDL"), "SDL") << c.pszName;
    if (c.pszName != std::string("truncated")) {
      // Nothing to fill in, or a file not understood: it stays as it was.
      EnsureFirstRunSettings(store);
      EXPECT_EQ(ReadFile(path), c.content) << c.pszName;
    }
  }
  // The truncated file keeps what survived when the missing values are added.
  CQtSettingsStore truncated((dir / "truncated.conf").string());
  EnsureFirstRunSettings(truncated);
  CQtSettingsStore reread((dir / "truncated.conf").string());
  EXPECT_EQ(reread.GetInt("Input", "A", 0), 57);
  EXPECT_EQ(reread.GetInt("Settings", "default", 0), 1);

  // A settings "file" that cannot be read is never replaced.
  const fs::path folder = dir / "unreadable.conf";
  fs::create_directories(folder / "inside");
  CQtSettingsStore unreadable(folder.string());
  EXPECT_TRUE(unreadable.IsReadOnly());
  EnsureFirstRunSettings(unreadable);
  unreadable.WriteInt("Settings", "FPS", 1);
  EXPECT_EQ(unreadable.GetInt("Settings", "FPS", 0), 0);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  fs::remove_all(dir);
}
