#pragma once

#include <cstdint>

// The console's own word sizes: bytes are unsigned 8-bit, CPU addresses and
// words unsigned 16-bit.
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
