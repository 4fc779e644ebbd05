#include <gtest/gtest.h>

#include "core/FpsText.h"

TEST(FpsText, FormatsLikeTheRuntimesFourDigitConversion) {
  EXPECT_EQ(FormatSignificant(62.5, 4), "62.5");
  EXPECT_EQ(FormatSignificant(104.16666, 4), "104.2");
  EXPECT_EQ(FormatSignificant(60.0, 4), "60.");
  EXPECT_EQ(FormatSignificant(1000.0, 4), "1000.");
  EXPECT_EQ(FormatSignificant(1666.6667, 4), "1667.");
  EXPECT_EQ(FormatSignificant(16666.667, 4), "1.667e+04");
  EXPECT_EQ(FormatSignificant(10000.0, 4), "1.e+04");
  EXPECT_EQ(FormatSignificant(9.99951, 4), "10.");
  EXPECT_EQ(FormatSignificant(0.015, 4), "0.015");
  EXPECT_EQ(FormatSignificant(0.0000012346, 4), "1.235e-06");
  EXPECT_EQ(FormatSignificant(0.0, 4), "0.");
}

TEST(FpsText, ShowsRateAndPercentOfSixtyFrames) {
  EXPECT_EQ(FpsText(16), "FPS:62.5 (104.2%)");
  EXPECT_EQ(FpsText(1000), "FPS:1. (1.667%)");
  EXPECT_EQ(FpsText(3), "FPS:333.3 (555.6%)");
  EXPECT_EQ(FpsText(0), "FPS:>1000. (>1667.%)") << "a 0 ms frame is at least 1000 per second";
}
