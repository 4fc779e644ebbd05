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

TEST(QtSettings, ValuesPersistAtOnceHostileFilesGiveDefaultsAndWhatTheUserHadIsNeverLost) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("tolvar_settings_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<std::string> reports;
  auto told = [&reports](const std::string& s) { reports.push_back(s); };

  const std::pair<std::string, bool> cases[] = {
      // content, damaged
      {"[Input]\nA=57\nB=4", false},  // truncated
      {"[Input]\nA=999\nB=abc\nUp=1, 2\n[Settings]\nResolutionX=100000\nFPS=7\n"
       "GraphicEngine=a, b\nDebugPpu=5\ndefault=1\n",
       false},
      {"[Settings]\ndefault=1\nFPS=0\nnot a setting\n[Input]\nB=4\n", true},
      {std::string("\x01\xff[[[=\n\0\0==\n[Input\nA==3\n", 22), true},
  };
  for (int i = 0; i < 4; ++i) {
    const auto& [content, bDamaged] = cases[i];
    SCOPED_TRACE(content);
    const fs::path path = dir / (std::to_string(i) + ".conf"), aside = path.string() + ".damaged";
    std::ofstream(path, std::ios::binary) << content;
    reports.clear();
    CQtSettingsStore store(path.string());
    store.SetReportHandler(told);
    EXPECT_EQ(store.GetInt("Input", "B", 46), content.find("B=4") != std::string::npos ? 4 : 46);
    EXPECT_EQ(store.GetInt("Input", "Up", 200) + store.GetInt("Settings", "DebugPpu", 0), 200);
    EXPECT_EQ(store.GetInt("Settings", "ResolutionX", 256), 256);
    EXPECT_EQ(store.GetString("Settings", "GraphicEngine", "SDL"), "SDL");
    EnsureFirstRunSettings(store);
    if (i == 0) {
      CQtSettingsStore reread(path.string());
      EXPECT_EQ(reread.GetInt("Input", "A", 0), 57) << "what survived is kept";
      EXPECT_EQ(reread.GetInt("Settings", "default", 0), 1);
    } else {
      std::ifstream in(bDamaged ? aside : path, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content)
          << "nothing to fill in, or kept beside";
    }
    // A damaged file is told of once, with both names; the new file in its
    // place keeps what could be read and the session's changes.
    const std::string names =
        path.string() + "\" is damaged. It has been kept as \"" + aside.string();
    EXPECT_EQ(reports.size() == 1 && reports[0].find(names) != std::string::npos, bDamaged);
    store.WriteString("MRU", "File1", "/home/player/roms/My Game, 2.nes");
    EXPECT_EQ(CQtSettingsStore(path.string()).GetString("MRU", "File1", ""),
              "/home/player/roms/My Game, 2.nes");
  }
  // A "file" that cannot be read, or written, stays as it is; changes hold
  // for the session, and the user is told once.
  const fs::path folder = dir / "unreadable.conf", blocked = dir / "0.conf" / "x.conf";
  fs::create_directories(folder / "inside");
  for (const fs::path& path : {folder, blocked}) {
    reports.clear();
    CQtSettingsStore store(path.string());
    store.SetReportHandler(told);
    store.WriteInt("Settings", "FPS", 1);
    EXPECT_TRUE(store.GetInt("Settings", "FPS", 0) == 1 && reports.size() == 1);
  }
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  fs::remove_all(dir);
}
