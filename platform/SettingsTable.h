#pragma once

#include <string>
#include <vector>

class ISettingsStore;

// Every persistent setting the program knows, with its first-run value, in
// the order in which the first run writes them.
struct SSettingEntry {
  const char* pszSection;
  const char* pszName;
  bool bIsString;
  int nFirstRunInt;
  const char* pszFirstRunString;
};

const std::vector<SSettingEntry>& SettingsTable();

// Writes the whole table with its first-run values, in table order.
void WriteFirstRunSettings(ISettingsStore& store);

// Writes the first-run table when "Settings"/"default" is missing or 0.
// Returns true when it wrote.
bool EnsureFirstRunSettings(ISettingsStore& store);
