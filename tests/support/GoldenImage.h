#pragma once

struct SRunnerOptions;

#include <cstdint>
#include <string>

#include "platform/Image.h"

// Pixel-for-pixel comparison of pictures with reviewed PNG files.
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
