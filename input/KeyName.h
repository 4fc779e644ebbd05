#pragma once

#include <string>

// The name the input dialog shows for a DirectInput key code: one of the 42
// named keys, "?" for any other code.
std::string KeyName(int nKeyCode);
