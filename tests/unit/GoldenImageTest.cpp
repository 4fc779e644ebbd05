// Golden pictures: each picture test program (tests/roms/gfx_*.s) runs
// headless on each visible engine, and the picture of its last frame must
// equal, pixel for pixel, the reviewed PNG in tests/golden/<engine>/.
//
// TOLVAR_UPDATE_GOLDEN=1 writes the goldens instead of comparing; look at
// every written picture before keeping it.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/PngFile.h"
#include "support/GoldenImage.h"

namespace {
struct SGoldenCase {
  const char* pszRom;     // program name, without .nes
  const char* pszEngine;  // "sdl" or "directx"
  bool bWindow = false;   // the whole SDL window with its debug views
  int nFrames = 10;       // the set-up takes two or three frames
  // Why the case does not run: a known engine fault that the golden would
  // otherwise record. Null when it runs.
  const char* pszKnownFault = nullptr;
};

std::string GoldenName(const SGoldenCase& c) {
  return std::string(c.pszRom) + (c.bWindow ? "_window" : "");
}

// Readable test listings instead of the case's bytes.
void PrintTo(const SGoldenCase& c, std::ostream* pOut) {
  *pOut << c.pszEngine << "/" << GoldenName(c) << ", " << c.nFrames << " frames";
}

const std::vector<SGoldenCase>& Cases() {
  static const std::vector<SGoldenCase> cases = [] {
    const char* roms[] = {"gfx_palette",        "gfx_tiles",       "gfx_scroll_h",
                          "gfx_scroll_v",       "gfx_sprites",     "gfx_sprites_nobg",
                          "gfx_sprites_hidden", "gfx_sprites16",   "gfx_sprite0",
                          "gfx_cnrom"};
    std::vector<SGoldenCase> list;
    for (const char* engine : {"sdl", "directx"})
      for (const char* rom : roms) list.push_back({rom, engine});
    // The DirectX engine takes no notice of pattern writes.
    list.push_back({"gfx_chr_ram", "sdl"});
    list.push_back({"gfx_palette", "sdl", true});
    list.push_back({"gfx_scroll_h", "sdl", true});
    return list;
  }();
  return cases;
}

std::filesystem::path GoldenPath(const SGoldenCase& c) {
  return std::filesystem::path(TOLVAR_GOLDEN_DIR) / c.pszEngine / (GoldenName(c) + ".png");
}

std::filesystem::path OutputPath(const SGoldenCase& c, const char* pszSuffix) {
  return std::filesystem::path(TOLVAR_OUTPUT_DIR) / "golden" / c.pszEngine /
         (GoldenName(c) + pszSuffix + ".png");
}

class GoldenImage : public ::testing::TestWithParam<SGoldenCase> {};

TEST_P(GoldenImage, MatchesReviewedPicture) {
  const SGoldenCase& c = GetParam();
  if (c.pszKnownFault) GTEST_SKIP() << c.pszKnownFault;
  // Pictures of an earlier failure would mislead once this run passes.
  std::error_code ignored;
  std::filesystem::remove(OutputPath(c, ".actual"), ignored);
  std::filesystem::remove(OutputPath(c, ".diff"), ignored);

  SCaptureRequest request;
  request.strRomPath = std::string(TOLVAR_ROM_DIR) + "/" + c.pszRom + ".nes";
  request.strEngine = c.pszEngine;
  request.nFrames = c.nFrames;
  request.bWindow = c.bWindow;
  SImage actual;
  std::string error;
  ASSERT_TRUE(CapturePicture(request, OutputPath(c, ".capture").string(), actual, error)) << error;

  const std::filesystem::path golden = GoldenPath(c);
  if (GoldenUpdateRequested()) {
    std::filesystem::create_directories(golden.parent_path());
    ASSERT_TRUE(WritePng(golden.string(), actual, &error)) << error;
    GTEST_SKIP() << "TOLVAR_UPDATE_GOLDEN=1: wrote " << golden.string()
                 << " without comparing; review it before keeping it";
  }

  SImage expected;
  if (!ReadPng(golden.string(), expected, &error)) {
    const std::filesystem::path out = OutputPath(c, ".actual");
    WritePng(out.string(), actual);
    FAIL() << "no golden " << golden.string() << " (" << error << "); the picture is in "
           << out.string() << ". Review it, then run with TOLVAR_UPDATE_GOLDEN=1 to keep it.";
  }

  const SImageDiff diff = CompareImages(expected, actual);
  if (!diff.Equal()) {
    const std::filesystem::path out = OutputPath(c, ".actual");
    const std::filesystem::path marked = OutputPath(c, ".diff");
    WritePng(out.string(), actual);
    if (diff.bSameSize) WritePng(marked.string(), DiffImage(expected, actual));
    FAIL() << c.pszEngine << " picture of " << c.pszRom << (c.bWindow ? " (window)" : "")
           << " differs from " << golden.string() << ": " << diff.Describe() << " (expected "
           << expected.nWidth << "x" << expected.nHeight << ", got " << actual.nWidth << "x"
           << actual.nHeight << "). Actual picture: " << out.string()
           << (diff.bSameSize ? "; differing pixels in red: " + marked.string() : "");
  }
}

std::string CaseName(const ::testing::TestParamInfo<SGoldenCase>& info) {
  return std::string(info.param.pszEngine) + "_" + GoldenName(info.param);
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenImage, ::testing::ValuesIn(Cases()), CaseName);

// The comparison itself.
TEST(GoldenCompare, ReportsFirstDifferenceInRowOrderAndCount) {
  SImage a(4, 3, 0x102030);
  SImage b = a;
  EXPECT_TRUE(CompareImages(a, b).Equal());
  b.At(3, 0) = 0xFFFFFF;
  b.At(1, 2) = 0x000000;
  const SImageDiff diff = CompareImages(a, b);
  EXPECT_FALSE(diff.Equal());
  EXPECT_EQ(diff.nDiffering, 2);
  EXPECT_EQ(diff.nFirstX, 3);
  EXPECT_EQ(diff.nFirstY, 0);
  EXPECT_EQ(diff.expected, 0x102030u);
  EXPECT_EQ(diff.actual, 0xFFFFFFu);
  EXPECT_EQ(diff.Describe(), "2 pixels differ; the first at (3, 0): expected #102030, got #FFFFFF");
}

TEST(GoldenCompare, DifferentSizesNeverMatch) {
  const SImageDiff diff = CompareImages(SImage(256, 240), SImage(512, 480));
  EXPECT_FALSE(diff.Equal());
  EXPECT_FALSE(diff.bSameSize);
}

TEST(GoldenCompare, DiffImageMarksDifferingPixelsRed) {
  SImage a(2, 1, 0x303030);
  SImage b = a;
  b.At(1, 0) = 0x000000;
  const SImage marked = DiffImage(a, b);
  EXPECT_EQ(marked.At(0, 0), 0x101010u);
  EXPECT_EQ(marked.At(1, 0), 0xFF0000u);
}
}  // namespace
