// The demo cartridge (roms/demo) as the engines show it: frames at fixed
// points of a scripted run must equal reviewed pictures in
// tests/golden/demo/, pixel for pixel.
//
// TOLVAR_UPDATE_GOLDEN=1 writes the pictures instead of comparing; look at
// every one before keeping it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/PngFile.h"
#include "support/GoldenImage.h"
#include "tools/RunnerOptions.h"

namespace {
namespace fs = std::filesystem;

// Right from frame 10, then diagonally down, then up and left; A and Start
// from frame 100 show in the status bar.
const char kPadScript[] =
    "# frame  buttons held from then on\n"
    "10 Right\n"
    "40 Right Down\n"
    "80 Up Left\n"
    "100 A Start\n";

// The picture's top rows: status text, then the bottom edge of the bar with
// the gem (sprite 0) on it.
constexpr int kStatusEdgeFirstLine = 24;
constexpr int kStatusEdgeLastLine = 31;
constexpr int kPlayfieldFirstLine = 32;

std::string RomPath() { return std::string(TOLVAR_ROM_DIR) + "/demo.nes"; }

fs::path GoldenPath(const std::string& strName) {
  return fs::path(TOLVAR_GOLDEN_DIR) / "demo" / (strName + ".png");
}

fs::path OutputPath(const std::string& strName) {
  return fs::path(TOLVAR_OUTPUT_DIR) / "demo" / (strName + ".png");
}

// Runs the demo in this process and reads back the picture of its last frame.
bool RunDemo(const std::string& strEngine, int nFrames, const std::string& strInputScript,
             const fs::path& shot, SImage& image, std::string& strError) {
  SRunnerOptions options;
  options.strRomPath = RomPath();
  options.strEngine = strEngine;
  options.nFrames = nFrames;
  options.strScreenshot = shot.string();
  if (!strInputScript.empty()) {
    // One file per run: the test cases may run side by side.
    const fs::path script = fs::path(shot).replace_extension(".input.txt");
    fs::create_directories(script.parent_path());
    std::ofstream(script) << strInputScript;
    options.strInputScript = script.string();
  }
  std::error_code ignored;
  fs::create_directories(shot.parent_path(), ignored);
  fs::remove(shot, ignored);

  return RunHeadlessQuietly(options, strError) && ReadPng(shot.string(), image, &strError);
}

// Runs the tolvar-run program itself, as someone checking a golden by hand
// would, and reads back its screenshot.
bool RunRunnerProgram(const std::string& strEngine, int nFrames, const fs::path& shot,
                      SImage& image, std::string& strError) {
  std::error_code ignored;
  fs::create_directories(shot.parent_path(), ignored);
  fs::remove(shot, ignored);
  const fs::path log = fs::path(shot).replace_extension(".log");
  const std::string command = std::string("\"") + TOLVAR_RUNNER + "\" \"" + RomPath() +
                              "\" --engine " + strEngine + " --frames " + std::to_string(nFrames) +
                              " --screenshot \"" + shot.string() + "\" > \"" + log.string() +
                              "\" 2>&1";
  const int nStatus = std::system(command.c_str());
  if (nStatus != 0) {
    std::ifstream text(log);
    std::string output((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
    strError = "\"" + command + "\" failed (" + std::to_string(nStatus) + "): " + output;
    return false;
  }
  return ReadPng(shot.string(), image, &strError);
}

// Compares with the golden of that name, or writes it when asked to.
void ExpectGolden(const std::string& strName, const SImage& actual) {
  const fs::path golden = GoldenPath(strName);
  std::string error;
  if (GoldenUpdateRequested()) {
    fs::create_directories(golden.parent_path());
    ASSERT_TRUE(WritePng(golden.string(), actual, &error)) << error;
    GTEST_SKIP() << "TOLVAR_UPDATE_GOLDEN=1: wrote " << golden.string()
                 << " without comparing; review it before keeping it";
  }
  SImage expected;
  ASSERT_TRUE(ReadPng(golden.string(), expected, &error))
      << "no golden " << golden.string() << " (" << error
      << "); make it with TOLVAR_UPDATE_GOLDEN=1 and review it";
  const SImageDiff diff = CompareImages(expected, actual);
  if (!diff.Equal()) {
    const fs::path actualPath = OutputPath(strName + ".actual");
    const fs::path diffPath = OutputPath(strName + ".diff");
    fs::create_directories(actualPath.parent_path());
    WritePng(actualPath.string(), actual);
    if (diff.bSameSize) WritePng(diffPath.string(), DiffImage(expected, actual));
    ADD_FAILURE() << strName << ": " << diff.Describe() << "; see " << actualPath.string()
                  << " and " << diffPath.string();
  }
}

bool SameLines(const SImage& a, const SImage& b, int nFirst, int nLast) {
  for (int y = nFirst; y <= nLast; ++y)
    for (int x = 0; x < a.nWidth; ++x)
      if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF)) return false;
  return true;
}

int CountColour(const SImage& image, std::uint32_t rgb) {
  int n = 0;
  for (std::uint32_t pixel : image.pixels) n += (pixel & 0xFFFFFF) == rgb;
  return n;
}

// Master palette colour $2C: the gem's body; only sprite 0 uses it.
const std::uint32_t kGemColour = PackRgb(0, 235, 219);
}  // namespace

// The frames the lead checks by hand: the runner program, no input.
TEST(DemoCartridge, RunnerSdlFrame120MatchesGolden) {
  SImage image;
  std::string error;
  ASSERT_TRUE(RunRunnerProgram("sdl", 120, OutputPath("runner_sdl_frame120"), image, error))
      << error;
  ExpectGolden("sdl_frame120", image);
}

// This engine draws no sprites and moves the picture by the fine scroll
// (0-7) only, so the playfield jitters instead of scrolling.
TEST(DemoCartridge, RunnerDirectXFrame120MatchesGolden) {
  SImage image;
  std::string error;
  ASSERT_TRUE(RunRunnerProgram("directx", 120, OutputPath("runner_directx_frame120"), image,
                               error))
      << error;
  ExpectGolden("directx_frame120", image);
}

class DemoCartridgePad : public ::testing::TestWithParam<int> {};

TEST_P(DemoCartridgePad, SdlFrameMatchesGolden) {
  const int nFrame = GetParam();
  const std::string strName = "sdl_pad_frame" + std::to_string(nFrame);
  SImage image;
  std::string error;
  ASSERT_TRUE(RunDemo("sdl", nFrame, kPadScript, OutputPath(strName + ".capture"), image, error))
      << error;
  ExpectGolden(strName, image);
}

INSTANTIATE_TEST_SUITE_P(Frames, DemoCartridgePad, ::testing::Values(30, 90, 120),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Frame" + std::to_string(info.param);
                         });

// The split: four frames apart the playfield has moved by four pixels, but
// the bottom edge of the status bar, where the split happens, has not.
TEST(DemoCartridge, SdlStatusBarStaysStillWhileThePlayfieldScrolls) {
  SImage before, after;
  std::string error;
  ASSERT_TRUE(RunDemo("sdl", 100, "", OutputPath("scroll_100.capture"), before, error)) << error;
  ASSERT_TRUE(RunDemo("sdl", 104, "", OutputPath("scroll_104.capture"), after, error)) << error;
  ASSERT_EQ(before.nHeight, 240);
  ASSERT_EQ(after.nHeight, 240);
  EXPECT_TRUE(SameLines(before, after, kStatusEdgeFirstLine, kStatusEdgeLastLine));
  EXPECT_FALSE(SameLines(before, after, kPlayfieldFirstLine, 239));
  EXPECT_GT(CountColour(after, kGemColour), 0) << "sprite 0 should be drawn";
}

TEST(DemoCartridge, DirectXShowsNoSprites) {
  SImage image;
  std::string error;
  ASSERT_TRUE(RunDemo("directx", 60, "", OutputPath("directx_60.capture"), image, error)) << error;
  EXPECT_EQ(CountColour(image, kGemColour), 0);
}
