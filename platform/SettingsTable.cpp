#include "platform/SettingsTable.h"

#include "platform/SettingsStore.h"

const std::vector<SSettingEntry>& SettingsTable() {
  static const std::vector<SSettingEntry> table = {
      {"Settings", "default", false, 1, nullptr},
      {"Settings", "Full Screen", false, 0, nullptr},
      {"Settings", "FPS", false, 0, nullptr},
      {"Settings", "DebugPpu", false, 0, nullptr},
      {"Settings", "Resolution", false, 1, nullptr},
      {"Settings", "ResolutionX", false, 256, nullptr},
      {"Settings", "ResolutionY", false, 240, nullptr},
      {"Settings", "GraphicEngine", true, 0, "SDL"},
      {"Settings", "CpuEngine", true, 0, "C"},
      {"Settings", "LastPath", true, 0, "C:\\"},
      {"Input", "Type", false, 0, nullptr},
      {"Input", "A", false, 44, nullptr},
      {"Input", "B", false, 46, nullptr},
      {"Input", "Select", false, 15, nullptr},
      {"Input", "Start", false, 28, nullptr},
      {"Input", "Up", false, 200, nullptr},
      {"Input", "Down", false, 208, nullptr},
      {"Input", "Left", false, 203, nullptr},
      {"Input", "Right", false, 205, nullptr},
      {"MRU", "File1", true, 0, "NULL"},
      {"MRU", "File2", true, 0, "NULL"},
      {"MRU", "File3", true, 0, "NULL"},
  };
  return table;
}

void WriteFirstRunSettings(ISettingsStore& store) {
  for (const SSettingEntry& e : SettingsTable()) {
    if (e.bIsString)
      store.WriteString(e.pszSection, e.pszName, e.pszFirstRunString);
    else
      store.WriteInt(e.pszSection, e.pszName, e.nFirstRunInt);
  }
}

bool EnsureFirstRunSettings(ISettingsStore& store) {
  if (store.GetInt("Settings", "default", 0) != 0) return false;
  WriteFirstRunSettings(store);
  return true;
}
