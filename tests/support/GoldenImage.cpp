#include "support/GoldenImage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/PngFile.h"
#include "tools/HeadlessRunner.h"
#include "tools/RunnerOptions.h"

EGoldenResult CheckGolden(const std::string& strGoldenPath, const std::string& strOutputStem,
                          const SImage& actual, std::string& strMessage) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const std::string actualPath = strOutputStem + ".actual.png";
  fs::remove(actualPath, ignored);  // an earlier failure's picture would mislead once this passes
  std::string error;
  const char* pszUpdate = std::getenv("TOLVAR_UPDATE_GOLDEN");
  if (pszUpdate && std::string(pszUpdate) == "1") {
    fs::create_directories(fs::path(strGoldenPath).parent_path(), ignored);
    const bool bWritten = WritePng(strGoldenPath, actual, &error);
    strMessage =
        bWritten ? "TOLVAR_UPDATE_GOLDEN=1: wrote " + strGoldenPath + "; review it" : error;
    return bWritten ? EGoldenResult::kWritten : EGoldenResult::kMismatch;
  }
  SImage expected;
  if (!ReadPng(strGoldenPath, expected, &error)) {
    error = "no golden (" + error + ")";
  } else if (expected.nWidth == actual.nWidth && expected.pixels == actual.pixels) {
    return EGoldenResult::kMatch;
  } else {
    error = "the picture differs";
  }
  fs::create_directories(fs::path(actualPath).parent_path(), ignored);
  WritePng(actualPath, actual);
  strMessage = strGoldenPath + ": " + error + ". The picture is in " + actualPath +
               "; review it, then run with TOLVAR_UPDATE_GOLDEN=1 to keep it.";
  return EGoldenResult::kMismatch;
}

bool RunHeadlessQuietly(const SRunnerOptions& options, std::string& strError) {
  // The runner reports on two streams; one text keeps both for the failure message.
  char* pText = nullptr;
  std::size_t nSize = 0;
  std::FILE* pLog = open_memstream(&pText, &nSize);
  const int nExit = pLog ? RunHeadless(options, pLog, pLog) : -1;
  if (pLog) std::fclose(pLog);
  strError = "the runner ended with " + std::to_string(nExit) + ": " + (pText ? pText : "");
  std::free(pText);
  return nExit == 0;
}
