#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/MemorySettingsStore.h"
#include "platform/QtSettingsStore.h"
#include "platform/SettingsTable.h"

TEST(SettingsTable, FirstRunMarkerOfZeroRewritesAllAMissingOneOnlyWhatIsMissing) {
  CMemorySettingsStore fresh;
  EXPECT_TRUE(EnsureFirstRunSettings(fresh));
  const std::vector<std::string> order = {"Settings/default",
                                          "Settings/Full Screen",
                                          "Settings/FPS",
                                          "Settings/DebugPpu",
                                          "Settings/Resolution",
                                          "Settings/ResolutionX",
                                          "Settings/ResolutionY",
                                          "Settings/GraphicEngine",
                                          "Settings/CpuEngine",
                                          "Settings/LastPath",
                                          "Input/Type",
                                          "Input/A",
                                          "Input/B",
                                          "Input/Select",
                                          "Input/Start",
                                          "Input/Up",
                                          "Input/Down",
                                          "Input/Left",
                                          "Input/Right",
                                          "MRU/File1",
                                          "MRU/File2",
                                          "MRU/File3"};
  EXPECT_EQ(fresh.WriteLog(), order);
  EXPECT_EQ(fresh.GetString("Settings", "LastPath", ""), "C:\\");
  EXPECT_EQ(fresh.GetInt("Input", "Start", 0), 28);
  EXPECT_EQ(fresh.GetString("MRU", "File3", ""), "NULL");
  EXPECT_FALSE(EnsureFirstRunSettings(fresh)) << "later runs write nothing";

  for (bool bMarkerZero : {true, false}) {
    // A marker of 0 asks for the first-run values again; a settings file
    // that lost its end (the marker sorts last) keeps what survived.
    CMemorySettingsStore store;
    if (bMarkerZero) store.WriteInt("Settings", "default", 0);
    store.WriteInt("Input", "A", 57);
    EXPECT_TRUE(EnsureFirstRunSettings(store));
    EXPECT_EQ(store.GetInt("Input", "A", 0), bMarkerZero ? 44 : 57);
    EXPECT_EQ(store.GetInt("Input", "B", 0), 46);
    EXPECT_EQ(store.GetInt("Settings", "default", 0), 1);
  }
}

namespace {
std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(QtSettings, ValuesPersistAtOnceAndHostileFilesGiveDefaultsAndStayAsTheyAre) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("tolvar_settings_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  {
    CQtSettingsStore store((dir / "plain.conf").string());
    store.WriteInt("Settings", "FPS", 1);
    store.WriteString("MRU", "File1", "/home/player/roms/My Game, 2.nes");
  }
  CQtSettingsStore reopened((dir / "plain.conf").string());
  EXPECT_EQ(reopened.GetInt("Settings", "FPS", 0), 1);
  EXPECT_EQ(reopened.GetString("MRU", "File1", ""), "/home/player/roms/My Game, 2.nes");

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
    std::ofstream(path, std::ios::binary) << c.content;
    CQtSettingsStore store(path.string());
    EXPECT_EQ(store.IsReadOnly(), c.bReadOnly) << c.pszName;
    EXPECT_EQ(store.GetInt("Input", "B", 46), c.content.find("B=4") != std::string::npos ? 4 : 46);
    EXPECT_EQ(store.GetInt("Input", "Up", 200), 200) << c.pszName;
    EXPECT_EQ(store.GetInt("Settings", "ResolutionX", 256), 256) << c.pszName;
    EXPECT_EQ(store.GetInt("Settings", "FPS", 0), 0) << c.pszName;
    EXPECT_EQ(store.GetString("Settings", "GraphicEngine", "SDL"), "SDL") << c.pszName;
    EnsureFirstRunSettings(store);
    if (c.pszName == std::string("truncated")) {
      CQtSettingsStore reread(path.string());
      EXPECT_EQ(reread.GetInt("Input", "A", 0), 57) << "what survived is kept";
      EXPECT_EQ(reread.GetInt("Settings", "default", 0), 1);
    } else {
      EXPECT_EQ(ReadFile(path), c.content)
          << c.pszName << ": nothing to fill in, or not understood";
    }
  }
  const fs::path folder = dir / "unreadable.conf";  // a "file" that cannot be read is not replaced
  fs::create_directories(folder / "inside");
  CQtSettingsStore unreadable(folder.string());
  EXPECT_TRUE(unreadable.IsReadOnly());
  EnsureFirstRunSettings(unreadable);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  fs::remove_all(dir);
}
