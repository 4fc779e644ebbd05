#pragma once

#include <climits>
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
  // The whole numbers a reader accepts; anything else reads as missing.
  int nMin = INT_MIN;
  int nMax = INT_MAX;
};

const std::vector<SSettingEntry>& SettingsTable();

// Writes the whole table with its first-run values, in table order.
void WriteFirstRunSettings(ISettingsStore& store);

// Whether a stored whole number is one its reader accepts; true for a name
// the table does not know.
bool IsAcceptedSettingValue(const std::string& section, const std::string& name, int nValue);

// "Settings"/"default" of 0 writes the whole first-run table. A missing (or
// unreadable) marker writes the marker and only the values that are
// missing, so that a settings file that lost its end loses nothing else.
// Returns true when it wrote.
bool EnsureFirstRunSettings(ISettingsStore& store);
