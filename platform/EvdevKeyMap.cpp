#include "platform/EvdevKeyMap.h"

namespace {
struct SKeyPair {
  int nEvdev;
  int nDik;
};

// The keys outside the main block, which the two numberings place apart.
constexpr SKeyPair kExtendedKeys[] = {
    {96, 0x9C},   // keypad Enter
    {97, 0x9D},   // right Ctrl
    {98, 0xB5},   // keypad /
    {99, 0xB7},   // Print Screen
    {100, 0xB8},  // right Alt
    {102, 0xC7},  // Home
    {103, 0xC8},  // Up
    {104, 0xC9},  // Page Up
    {105, 0xCB},  // Left
    {106, 0xCD},  // Right
    {107, 0xCF},  // End
    {108, 0xD0},  // Down
    {109, 0xD1},  // Page Down
    {110, 0xD2},  // Insert
    {111, 0xD3},  // Delete
    {119, 0xC5},  // Pause
    {125, 0xDB},  // left Windows
    {126, 0xDC},  // right Windows
    {127, 0xDD},  // Menu
};
}  // namespace

int EvdevToDik(int nEvdevCode) {
  // Escape (1) to F12 (88) are the PC's scan codes in both numberings; 84
  // and 85 name no key of a PC keyboard.
  if (nEvdevCode >= 1 && nEvdevCode <= 88 && nEvdevCode != 84 && nEvdevCode != 85)
    return nEvdevCode;
  for (const SKeyPair& k : kExtendedKeys)
    if (k.nEvdev == nEvdevCode) return k.nDik;
  return 0;
}
