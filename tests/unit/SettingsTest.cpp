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
  EXPECT_EQ(fresh.WriteLog().size(), 22u);
  // The first-run keys: Z C Tab Return and the arrows.
  const char* names[] = {"A", "B", "Select", "Start", "Up", "Down", "Left", "Right"};
  const int codes[] = {44, 46, 15, 28, 200, 208, 203, 205};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(fresh.GetInt("Input", names[i], 0), codes[i]) << names[i];
  EXPECT_FALSE(EnsureFirstRunSettings(fresh)) << "later runs write nothing";

  // A marker of 0 asks for the first-run values again; a file that lost its
  // end, marker and all (it sorts last), is below: it keeps what survived.
  CMemorySettingsStore store;
  store.WriteInt("Settings", "default", 0);
  store.WriteInt("Input", "A", 57);
  EXPECT_TRUE(EnsureFirstRunSettings(store));
  EXPECT_EQ(store.GetInt("Input", "A", 0), 44);
}

TEST(QtSettings, ValuesPersistAtOnceAndHostileFilesGiveDefaultsAndStayAsTheyAre) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("tolvar_settings_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  CQtSettingsStore((dir / "plain.conf").string())
      .WriteString("MRU", "File1", "/home/player/roms/My Game, 2.nes");
  EXPECT_EQ(CQtSettingsStore((dir / "plain.conf").string()).GetString("MRU", "File1", ""),
            "/home/player/roms/My Game, 2.nes");

  const std::pair<std::string, bool> cases[] = {
      // content, read-only
      {"[Input]\nA=57\nB=4", false},  // truncated
      {"[Input]\nA=999\nB=abc\nUp=1, 2\n[Settings]\nResolutionX=100000\nFPS=7\n"
       "GraphicEngine=a, b\ndefault=1\n",
       false},
      {std::string("\x01\xff[[[=\n\0\0==\n[Input\nA==3\n", 22), true},
  };
  for (int i = 0; i < 3; ++i) {
    const auto& [content, bReadOnly] = cases[i];
    SCOPED_TRACE(content);
    const fs::path path = dir / (std::to_string(i) + ".conf");
    std::ofstream(path, std::ios::binary) << content;
    CQtSettingsStore store(path.string());
    EXPECT_EQ(store.IsReadOnly(), bReadOnly);
    EXPECT_EQ(store.GetInt("Input", "B", 46), content.find("B=4") != std::string::npos ? 4 : 46);
    EXPECT_EQ(store.GetInt("Input", "Up", 200), 200);
    EXPECT_EQ(store.GetInt("Settings", "ResolutionX", 256), 256);
    EXPECT_EQ(store.GetString("Settings", "GraphicEngine", "SDL"), "SDL");
    EnsureFirstRunSettings(store);
    if (i == 0) {
      CQtSettingsStore reread(path.string());
      EXPECT_EQ(reread.GetInt("Input", "A", 0), 57) << "what survived is kept";
      EXPECT_EQ(reread.GetInt("Settings", "default", 0), 1);
    } else {
      std::ifstream in(path, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content)
          << "nothing to fill in, or not understood";
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
