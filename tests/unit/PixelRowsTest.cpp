#include <gtest/gtest.h>

#include <vector>

#include "video/PixelRows.h"

namespace {
// Every width from none to past two blocks, keyed and not: each pixel of the
// row is map[pixel & 15] or, where it is the key, what dst held; nothing
// outside the row changes.
TEST(PixelRows, MapsEachPixelAndLeavesTheKeyAndTheRestAlone) {
  BYTE map[16];
  for (int i = 0; i < 16; ++i) map[i] = static_cast<BYTE>(0x40 + i * 3);
  for (int nKey : {-1, 0, 5}) {
    for (int n = 0; n <= 40; ++n) {
      std::vector<BYTE> src(48), dst(48), expected(48);
      for (int i = 0; i < 48; ++i) {
        src[i] = static_cast<BYTE>((i * 37 + n) % 23);  // values above 15 too
        dst[i] = expected[i] = static_cast<BYTE>(200 + i);
      }
      for (int i = 0; i < n; ++i)
        if (src[i + 4] != nKey) expected[i + 4] = map[src[i + 4] & 15];
      MapPixelRow(src.data() + 4, dst.data() + 4, n, map, nKey);
      EXPECT_EQ(dst, expected) << "width " << n << ", key " << nKey;
    }
  }
}
}  // namespace
