// Golden pictures: the picture test programs (tests/roms/gfx_*.s) and the
// demo cartridge, run headless on a visible engine; the last frame must
// equal, pixel for pixel, the reviewed PNG in tests/golden/.
//
// TOLVAR_UPDATE_GOLDEN=1 writes the goldens instead of comparing; look at
// every written picture before keeping it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/PngFile.h"
#include "support/GoldenImage.h"
#include "tools/RunnerOptions.h"

namespace {
namespace fs = std::filesystem;

struct SGoldenCase {
  std::string strRom;     // program name, without .nes
  std::string strEngine;  // "sdl" or "directx"
  int nFrames = 10;       // the set-up takes two or three frames
  bool bWindow = false;   // the whole SDL window with its debug views
  std::string strInput;   // controller script, if any
  std::string strGolden;  // folder/name under tests/golden, without .png
};

void PrintTo(const SGoldenCase& c, std::ostream* pOut) { *pOut << c.strGolden; }

// The demo: right from frame 10, then diagonally down, then up and left; A
// and Start from frame 100 show in the status bar.
const char kPadScript[] = "10 Right\n40 Right Down\n80 Up Left\n100 A Start\n";

std::vector<SGoldenCase> Cases() {
  std::vector<SGoldenCase> list;
  for (const char* engine : {"sdl", "directx"})
    for (const char* rom :
         {"gfx_palette", "gfx_tiles", "gfx_scroll_h", "gfx_scroll_v", "gfx_sprites",
          "gfx_sprites_nobg", "gfx_sprites_hidden", "gfx_sprites16", "gfx_cnrom"})
      list.push_back({rom, engine, 10, false, "", std::string(engine) + "/" + rom});
  // The DirectX engine takes no notice of pattern writes.
  list.push_back({"gfx_chr_ram", "sdl", 10, false, "", "sdl/gfx_chr_ram"});
  list.push_back({"gfx_palette", "sdl", 10, true, "", "sdl/gfx_palette_window"});
  list.push_back({"gfx_scroll_h", "sdl", 10, true, "", "sdl/gfx_scroll_h_window"});
  // The DirectX engine draws no sprites, and scrolls by the fine scroll only.
  list.push_back({"demo", "sdl", 120, false, "", "demo/sdl_frame120"});
  list.push_back({"demo", "directx", 120, false, "", "demo/directx_frame120"});
  for (int n : {30, 90, 120})
    list.push_back({"demo", "sdl", n, false, kPadScript, "demo/sdl_pad_frame" + std::to_string(n)});
  return list;
}

class GoldenImage : public ::testing::TestWithParam<SGoldenCase> {};

TEST_P(GoldenImage, MatchesReviewedPicture) {
  const SGoldenCase& c = GetParam();
  const fs::path out = fs::path(TOLVAR_OUTPUT_DIR) / "golden" / c.strGolden;
  fs::create_directories(out.parent_path());
  SRunnerOptions options;
  options.strRomPath = std::string(TOLVAR_ROM_DIR) + "/" + c.strRom + ".nes";
  options.strEngine = c.strEngine;
  options.nFrames = c.nFrames;
  options.bDebugView = c.bWindow;
  const std::string shot = out.string() + ".capture.png";
  (c.bWindow ? options.strWindowShot : options.strScreenshot) = shot;
  if (!c.strInput.empty()) {
    options.strInputScript = out.string() + ".input.txt";
    std::ofstream(options.strInputScript) << c.strInput;
  }
  std::string error;
  SImage actual;
  ASSERT_TRUE(RunHeadlessQuietly(options, error) && ReadPng(shot, actual, &error)) << error;
  std::string message;
  const EGoldenResult result = CheckGolden(
      std::string(TOLVAR_GOLDEN_DIR) + "/" + c.strGolden + ".png", out.string(), actual, message);
  if (result == EGoldenResult::kWritten) GTEST_SKIP() << message;
  EXPECT_EQ(result, EGoldenResult::kMatch) << message;
}

INSTANTIATE_TEST_SUITE_P(Pictures, GoldenImage, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name = info.param.strGolden;
  for (char& ch : name)
    if (ch == '/') ch = '_';
  return name;
});
}  // namespace
