#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "platform/Types.h"

// The colour numbers (0-3) of one row of a tile's eight pixels, from its two
// pattern bytes, one to a byte with the leftmost pixel first in memory: a
// row of an 8-bit surface in one store.
inline std::uint64_t PatternRow(BYTE low, BYTE high) {
  static_assert(std::endian::native == std::endian::little);
  static constexpr auto kSpread = [] {
    std::array<std::uint64_t, 256> table{};
    for (int v = 0; v < 256; ++v)
      for (int c = 0; c < 8; ++c)
        table[v] |= static_cast<std::uint64_t>((v >> (7 - c)) & 1) << (8 * c);
    return table;
  }();
  return kSpread[low] | kSpread[high] << 1;
}
