#pragma once

struct SRunnerOptions;

#include <cstdint>
#include <string>

#include "platform/Image.h"

// Pixel-for-pixel comparison of pictures with reviewed PNG files.

struct SImageDiff {
  bool bSameSize = true;
  int nDiffering = 0;  // pixels whose colour differs
  int nFirstX = -1;    // first differing pixel, rows top to bottom
  int nFirstY = -1;
  std::uint32_t expected = 0;  // its colours, 0x00RRGGBB
  std::uint32_t actual = 0;

  bool Equal() const { return bSameSize && nDiffering == 0; }
  std::string Describe() const;
};

SImageDiff CompareImages(const SImage& expected, const SImage& actual);

// A picture of the same size as the two: differing pixels red, equal ones
// the expected picture dimmed to a third.
SImage DiffImage(const SImage& expected, const SImage& actual);

// True when TOLVAR_UPDATE_GOLDEN is "1": tests write goldens instead of
// comparing.
bool GoldenUpdateRequested();

enum class EGoldenResult { kMatch, kWritten, kMismatch };

// Compares a picture with its golden PNG, or writes the golden when an
// update is requested. On a mismatch (or a missing golden) the picture and,
// for equal sizes, a diff are written as strOutputStem + ".actual.png" and
// ".diff.png", and strMessage says where.
EGoldenResult CheckGolden(const std::string& strGoldenPath, const std::string& strOutputStem,
                          const SImage& actual, std::string& strMessage);

// Runs the headless runner in this process with its output kept; false with
// the runner's error text when it does not exit 0.
bool RunHeadlessQuietly(const SRunnerOptions& options, std::string& strError);
