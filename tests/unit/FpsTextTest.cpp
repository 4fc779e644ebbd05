#include <gtest/gtest.h>

#include <sstream>

#include "core/FpsText.h"

TEST(FpsText, FormatsLikeTheRuntimesFourDigitConversion) {
  // Value, then its text: always a point; exponent form from 10000 and below
  // 0.00001; rounding can carry into a new digit.
  std::istringstream cases(
      "62.5 62.5  104.16666 104.2  60 60.  1000 1000.  1666.6667 1667.  10000 1.e+04  "
      "16666.667 1.667e+04  9.99951 10.  0.015 0.015  0.0000012346 1.235e-06  0 0.");
  double v;
  for (std::string text; cases >> v >> text;) EXPECT_EQ(FormatSignificant(v, 4), text) << v;
  EXPECT_TRUE(cases.eof()) << "every case read";
  EXPECT_EQ(FpsText(1000), "FPS:1. (1.667%)");
  EXPECT_EQ(FpsText(0), "FPS:>1000. (>1667.%)") << "a 0 ms frame is at least 1000 per second";
}
