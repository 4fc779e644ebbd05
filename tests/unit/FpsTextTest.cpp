#include <gtest/gtest.h>

#include "core/FpsText.h"

TEST(FpsText, FormatsLikeTheRuntimesFourDigitConversion) {
  // Always a point; exponent form from 10000 and below 0.00001; rounding
  // can carry into a new digit.
  const std::pair<double, const char*> cases[] = {{62.5, "62.5"},
                                                  {104.16666, "104.2"},
                                                  {60.0, "60."},
                                                  {1000.0, "1000."},
                                                  {1666.6667, "1667."},
                                                  {10000.0, "1.e+04"},
                                                  {16666.667, "1.667e+04"},
                                                  {9.99951, "10."},
                                                  {0.015, "0.015"},
                                                  {0.0000012346, "1.235e-06"},
                                                  {0.0, "0."}};
  for (const auto& [v, text] : cases) EXPECT_EQ(FormatSignificant(v, 4), text) << v;
  EXPECT_EQ(FpsText(1000), "FPS:1. (1.667%)");
  EXPECT_EQ(FpsText(0), "FPS:>1000. (>1667.%)") << "a 0 ms frame is at least 1000 per second";
}
