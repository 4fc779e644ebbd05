#include "input/KeyName.h"

#include <iterator>

namespace {
struct SKeyName {
  int nCode;
  const char* pszName;
};

constexpr SKeyName kKeyNames[] = {
    {0x0F, "TAB"},     {0x10, "Q"},       {0x11, "W"},       {0x12, "E"},
    {0x13, "R"},       {0x14, "T"},       {0x15, "Y"},       {0x16, "U"},
    {0x17, "I"},       {0x18, "O"},       {0x19, "P"},       {0x1C, "ENTER"},
    {0x1E, "A"},       {0x1F, "S"},       {0x20, "D"},       {0x21, "F"},
    {0x22, "G"},       {0x23, "H"},       {0x24, "J"},       {0x25, "K"},
    {0x26, "L"},       {0x2C, "Z"},       {0x2D, "X"},       {0x2E, "C"},
    {0x2F, "V"},       {0x30, "B"},       {0x31, "N"},       {0x32, "M"},
    {0x47, "NUMPAD7"}, {0x48, "NUMPAD8"}, {0x49, "NUMPAD9"}, {0x4B, "NUMPAD4"},
    {0x4C, "NUMPAD5"}, {0x4D, "NUMPAD6"}, {0x4F, "NUMPAD1"}, {0x50, "NUMPAD2"},
    {0x51, "NUMPAD3"}, {0x52, "NUMPAD0"}, {0xC8, "UP"},      {0xCB, "LEFT"},
    {0xCD, "RIGHT"},   {0xD0, "DOWN"},
};
static_assert(std::size(kKeyNames) == 42);
}  // namespace

std::string KeyName(int nKeyCode) {
  for (const SKeyName& k : kKeyNames)
    if (k.nCode == nKeyCode) return k.pszName;
  return "?";
}
