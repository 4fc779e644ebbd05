#include "video/PixelRows.h"

#include <cstdint>
#include <cstring>

namespace {
using V16 = BYTE __attribute__((vector_size(16)));

using V2x64 = std::uint64_t __attribute__((vector_size(16)));

// nBytes (8 or 16) bytes into a vector, the rest zero; and back. Eight go
// through a 64-bit word: a vector load that spans two smaller stores would
// wait for them.
template <int nBytes>
[[gnu::always_inline]] inline V16 Load(const BYTE* p) {
  if constexpr (nBytes == 16) {
    V16 v;
    std::memcpy(&v, p, 16);
    return v;
  } else {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return reinterpret_cast<V16>(V2x64{w, 0});
  }
}

template <int nBytes>
[[gnu::always_inline]] inline void Store(BYTE* p, V16 v) {
  if constexpr (nBytes == 16) {
    std::memcpy(p, &v, 16);
  } else {
    const std::uint64_t w = reinterpret_cast<V2x64>(v)[0];
    std::memcpy(p, &w, 8);
  }
}

// map[pixel & 15] for each of the sixteen bytes. GCC turns its shuffle
// into one SSSE3 instruction; clang (the fuzzing build) has no shuffle by
// variable indices, and does it a byte at a time.
[[gnu::always_inline]] inline V16 Shuffle(V16 table, V16 s) {
#if defined(__clang__)
  V16 out;
  for (int k = 0; k < 16; ++k) out[k] = table[s[k] & 15];
  return out;
#else
  return __builtin_shuffle(table, s);
#endif
}

// nBytes (8 or 16) pixels through the map; the work of the loop below.
template <int nBytes>
[[gnu::always_inline]] inline void MapBlock(const BYTE* src, BYTE* dst, V16 table, bool bKeyed,
                                            V16 key) {
  const V16 s = Load<nBytes>(src);
  V16 out = Shuffle(table, s);
  if (bKeyed) {
    const V16 keep = reinterpret_cast<V16>(s == key);
    out = (Load<nBytes>(dst) & keep) | (out & ~keep);
  }
  Store<nBytes>(dst, out);
}
}  // namespace

// Sixteen pixels at a time: the map is a byte shuffle, which processors
// with SSSE3 do in one instruction; others run the plain build.
#if (defined(__x86_64__) || defined(__i386__)) && !defined(__clang__)
[[gnu::target_clones("default", "ssse3")]]
#endif
void MapPixelRow(const BYTE* src, BYTE* dst, int n, const BYTE* map, int nKey) {
  V16 table;
  std::memcpy(&table, map, sizeof(table));
  const bool bKeyed = nKey >= 0 && nKey <= 255;
  const V16 key = V16{} + static_cast<BYTE>(nKey);
  int i = 0;
  for (; i + 16 <= n; i += 16) MapBlock<16>(src + i, dst + i, table, bKeyed, key);
  if (i == n) return;
  // The rest as one more block that ends with the row, over pixels already
  // done: mapping them again writes what they hold.
  if (n >= 16) {
    MapBlock<16>(src + n - 16, dst + n - 16, table, bKeyed, key);
  } else if (n >= 8) {
    MapBlock<8>(src, dst, table, bKeyed, key);
    MapBlock<8>(src + n - 8, dst + n - 8, table, bKeyed, key);
  } else {
    for (; i < n; ++i)
      if (!bKeyed || src[i] != nKey) dst[i] = map[src[i] & 15];
  }
}
