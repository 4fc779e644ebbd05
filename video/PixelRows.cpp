#include "video/PixelRows.h"

#include <cstring>

namespace {
using V16 = BYTE __attribute__((vector_size(16)));

// nBytes (8 or 16) pixels through the map; the work of the loop below.
template <int nBytes>
[[gnu::always_inline]] inline void MapBlock(const BYTE* src, BYTE* dst, V16 table, bool bKeyed,
                                            V16 key) {
  V16 s{}, out;
  std::memcpy(&s, src, nBytes);
  // Shuffle indices are taken modulo the element count: map[pixel & 15].
  out = __builtin_shuffle(table, s);
  if (bKeyed) {
    V16 old{};
    std::memcpy(&old, dst, nBytes);
    const V16 keep = reinterpret_cast<V16>(s == key);
    out = (old & keep) | (out & ~keep);
  }
  std::memcpy(dst, &out, nBytes);
}
}  // namespace

// Sixteen pixels at a time: the map is a byte shuffle, which processors
// with SSSE3 do in one instruction; others run the plain build.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target_clones("default", "ssse3")]]
#endif
void MapPixelRow(const BYTE* src, BYTE* dst, int n, const BYTE* map, int nKey) {
  V16 table;
  std::memcpy(&table, map, sizeof(table));
  const bool bKeyed = nKey >= 0 && nKey <= 255;
  const V16 key = V16{} + static_cast<BYTE>(nKey);
  int i = 0;
  for (; i + 16 <= n; i += 16) MapBlock<16>(src + i, dst + i, table, bKeyed, key);
  // Eight more: a tile's width.
  if (i + 8 <= n) {
    MapBlock<8>(src + i, dst + i, table, bKeyed, key);
    i += 8;
  }
  for (; i < n; ++i)
    if (!bKeyed || src[i] != nKey) dst[i] = map[src[i] & 15];
}
