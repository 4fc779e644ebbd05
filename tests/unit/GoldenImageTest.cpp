// Golden pictures: the picture test programs (tests/roms/gfx_*.s) and the
// demo cartridge, run headless on a visible engine; the last frame must
// equal, pixel for pixel, the reviewed PNG in tests/golden/.
//
// TOLVAR_UPDATE_GOLDEN=1 writes the goldens instead of comparing; look at
// every written picture before keeping it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/PngFile.h"
#include "support/GoldenImage.h"
#include "tools/RunnerOptions.h"

namespace {
struct SGoldenCase {
  std::string strGolden;          // folder/name under tests/golden, without .png
  std::string strRom, strEngine;  // the program without .nes; "sdl" or "directx"
  int nFrames = 10;               // the set-up takes two or three frames
  bool bWindow = false;           // the whole SDL window with its debug views
  const char* pszInput = "";      // controller script, if any
};

void PrintTo(const SGoldenCase& c, std::ostream* pOut) { *pOut << c.strGolden; }

std::vector<SGoldenCase> Cases() {
  // The DirectX engine takes no notice of pattern writes, draws no sprites and
  // scrolls by the fine scroll only: the SDL engine alone runs the rest.
  std::vector<SGoldenCase> list = {{"sdl/gfx_chr_ram", "gfx_chr_ram", "sdl"},
                                   {"sdl/gfx_chr_ram_title", "gfx_chr_ram_title", "sdl", 30},
                                   {"sdl/gfx_scroll_bg", "gfx_scroll_bg", "sdl"},
                                   {"sdl/gfx_palette_split", "gfx_palette_split", "sdl"},
                                   {"sdl/gfx_palette_window", "gfx_palette", "sdl", 10, true},
                                   {"sdl/gfx_scroll_h_window", "gfx_scroll_h", "sdl", 10, true},
                                   {"demo/sdl_frame120", "demo", "sdl", 120},
                                   {"demo/directx_frame120", "demo", "directx", 120}};
  for (const char* engine : {"sdl", "directx"})
    for (const char* rom :
         {"gfx_palette", "gfx_tiles", "gfx_scroll_h", "gfx_scroll_v", "gfx_sprites",
          "gfx_sprites_nobg", "gfx_sprites_hidden", "gfx_sprites16", "gfx_cnrom"})
      list.push_back({std::string(engine) + "/" + rom, rom, engine});
  // The demo: right from frame 10, then diagonally down, then up and left; A
  // and Start from frame 100 show in the status bar.
  for (int n : {30, 90, 120})
    list.push_back({"demo/sdl_pad_frame" + std::to_string(n), "demo", "sdl", n, false,
                    "10 Right\n40 Right Down\n80 Up Left\n100 A Start\n"});
  return list;
}

class GoldenImage : public ::testing::TestWithParam<SGoldenCase> {};

TEST_P(GoldenImage, MatchesReviewedPicture) {
  const SGoldenCase& c = GetParam();
  const std::string out = std::string(TOLVAR_OUTPUT_DIR) + "/golden/" + c.strGolden;
  std::filesystem::create_directories(std::filesystem::path(out).parent_path());
  SRunnerOptions options;
  options.strRomPath = std::string(TOLVAR_ROM_DIR) + "/" + c.strRom + ".nes";
  options.strEngine = c.strEngine;
  options.nFrames = c.nFrames;
  options.bDebugView = c.bWindow;
  (c.bWindow ? options.strWindowShot : options.strScreenshot) = out + ".capture.png";
  if (*c.pszInput) std::ofstream(options.strInputScript = out + ".input.txt") << c.pszInput;
  std::string error, message;
  SImage actual;
  ASSERT_TRUE(RunHeadlessQuietly(options, error) && ReadPng(out + ".capture.png", actual, &error))
      << error;
  const EGoldenResult result = CheckGolden(
      std::string(TOLVAR_GOLDEN_DIR) + "/" + c.strGolden + ".png", out, actual, message);
  if (result == EGoldenResult::kWritten) GTEST_SKIP() << message;
  EXPECT_EQ(result, EGoldenResult::kMatch) << message;
}

INSTANTIATE_TEST_SUITE_P(Pictures, GoldenImage, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name = info.param.strGolden;
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
});
}  // namespace
