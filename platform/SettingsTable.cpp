#include "platform/SettingsTable.h"

#include "platform/SettingsStore.h"

namespace {
constexpr int kMinPictureSize = 64;
constexpr int kMaxPictureSize = 1024;
}  // namespace

const std::vector<SSettingEntry>& SettingsTable() {
  static const std::vector<SSettingEntry> table = {
      {"Settings", "default", false, 1, nullptr},
      {"Settings", "Full Screen", false, 0, nullptr, 0, 1},
      {"Settings", "FPS", false, 0, nullptr, 0, 1},
      {"Settings", "DebugPpu", false, 0, nullptr, 0, 1},
      {"Settings", "Resolution", false, 1, nullptr},
      // Sizes of the picture, the back buffer and the main window.
      {"Settings", "ResolutionX", false, 256, nullptr, kMinPictureSize, kMaxPictureSize},
      {"Settings", "ResolutionY", false, 240, nullptr, kMinPictureSize, kMaxPictureSize},
      {"Settings", "GraphicEngine", true, 0, "SDL"},
      {"Settings", "CpuEngine", true, 0, "C"},
      {"Settings", "LastPath", true, 0, "C:\\"},
      {"Input", "Type", false, 0, nullptr},
      {"Input", "A", false, 44, nullptr, 0, 255},
      {"Input", "B", false, 46, nullptr, 0, 255},
      {"Input", "Select", false, 15, nullptr, 0, 255},
      {"Input", "Start", false, 28, nullptr, 0, 255},
      {"Input", "Up", false, 200, nullptr, 0, 255},
      {"Input", "Down", false, 208, nullptr, 0, 255},
      {"Input", "Left", false, 203, nullptr, 0, 255},
      {"Input", "Right", false, 205, nullptr, 0, 255},
      {"MRU", "File1", true, 0, "NULL"},
      {"MRU", "File2", true, 0, "NULL"},
      {"MRU", "File3", true, 0, "NULL"},
  };
  return table;
}

namespace {
void WriteFirstRunValue(ISettingsStore& store, const SSettingEntry& e) {
  if (e.bIsString)
    store.WriteString(e.pszSection, e.pszName, e.pszFirstRunString);
  else
    store.WriteInt(e.pszSection, e.pszName, e.nFirstRunInt);
}
}  // namespace

void WriteFirstRunSettings(ISettingsStore& store) {
  for (const SSettingEntry& e : SettingsTable()) WriteFirstRunValue(store, e);
}

bool IsAcceptedSettingValue(const std::string& section, const std::string& name, int nValue) {
  for (const SSettingEntry& e : SettingsTable())
    if (section == e.pszSection && name == e.pszName) return nValue >= e.nMin && nValue <= e.nMax;
  return true;
}

bool EnsureFirstRunSettings(ISettingsStore& store) {
  const int nMarker = store.GetInt("Settings", "default", -1);
  if (nMarker == 0) {
    WriteFirstRunSettings(store);
    return true;
  }
  if (nMarker != -1) return false;
  bool bWrote = false;
  for (const SSettingEntry& e : SettingsTable()) {
    const bool bMarker = std::string("default") == e.pszName;
    if (bMarker || !store.Contains(e.pszSection, e.pszName)) {
      WriteFirstRunValue(store, e);
      bWrote = true;
    }
  }
  return bWrote;
}
