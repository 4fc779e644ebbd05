#pragma once

#include <string>

#include "platform/Image.h"

struct SRunnerOptions;

// Pixel-for-pixel comparison of pictures with reviewed PNG files.
enum class EGoldenResult { kMatch, kWritten, kMismatch };

// Compares a picture with its golden PNG, or writes the golden when
// TOLVAR_UPDATE_GOLDEN=1. On a mismatch (or a missing golden) the picture is
// written as strOutputStem + ".actual.png", and strMessage says where.
EGoldenResult CheckGolden(const std::string& strGoldenPath, const std::string& strOutputStem,
                          const SImage& actual, std::string& strMessage);

// Runs the headless runner in this process with its output kept; false with
// the runner's error text when it does not exit 0.
bool RunHeadlessQuietly(const SRunnerOptions& options, std::string& strError);
