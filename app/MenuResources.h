#pragma once

#include <vector>

// The main menu and its accelerators, as data.

struct SMenuItem {
  const char* pszText = nullptr;  // null: a separator; "\t" starts the key text
  int nCommand = 0;               // 0 for a popup
  const char* pszPrompt = "";     // shown in the status bar while highlighted
  bool bGrayed = false;           // the state the resource gives it
  std::vector<SMenuItem> popup = {};
};

// The top-level popups, left to right.
const std::vector<SMenuItem>& MainMenu();

struct SAccelerator {
  const char* pszKeys;  // in QKeySequence's portable text form
  int nCommand;
};

const std::vector<SAccelerator>& Accelerators();
