#include "support/GoldenImage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/PngFile.h"
#include "tools/HeadlessRunner.h"
#include "tools/RunnerOptions.h"

namespace {
std::string Hex(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::string ReadAll(std::FILE* pFile) {
  std::string text;
  std::rewind(pFile);
  char buffer[512];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pFile)) > 0) text.append(buffer, n);
  return text;
}
}  // namespace

EGoldenResult CheckGolden(const std::string& strGoldenPath, const std::string& strOutputStem,
                          const SImage& actual, std::string& strMessage) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const std::string actualPath = strOutputStem + ".actual.png";
  const std::string diffPath = strOutputStem + ".diff.png";
  // Pictures of an earlier failure would mislead once this run passes.
  fs::remove(actualPath, ignored);
  fs::remove(diffPath, ignored);
  std::string error;
  const char* pszUpdate = std::getenv("TOLVAR_UPDATE_GOLDEN");
  if (pszUpdate && std::string(pszUpdate) == "1") {
    fs::create_directories(fs::path(strGoldenPath).parent_path(), ignored);
    strMessage = WritePng(strGoldenPath, actual, &error)
                     ? "TOLVAR_UPDATE_GOLDEN=1: wrote " + strGoldenPath + "; review it first"
                     : error;
    return error.empty() ? EGoldenResult::kWritten : EGoldenResult::kMismatch;
  }
  fs::create_directories(fs::path(actualPath).parent_path(), ignored);
  SImage expected;
  if (!ReadPng(strGoldenPath, expected, &error)) {
    WritePng(actualPath, actual);
    strMessage = "no golden " + strGoldenPath + " (" + error + "); the picture is in " +
                 actualPath + ". Review it, then run with TOLVAR_UPDATE_GOLDEN=1 to keep it.";
    return EGoldenResult::kMismatch;
  }
  // Differing pixels red, equal ones dimmed to a third.
  const bool bSameSize = expected.nWidth == actual.nWidth && expected.nHeight == actual.nHeight;
  SImage diff(actual.nWidth, actual.nHeight);
  int nDiffering = 0;
  std::string first;
  for (int y = 0; y < actual.nHeight; ++y)
    for (int x = 0; x < actual.nWidth; ++x) {
      const std::uint32_t a = actual.At(x, y) & 0xFFFFFF;
      const std::uint32_t e = bSameSize ? expected.At(x, y) & 0xFFFFFF : ~a;
      diff.At(x, y) = e == a ? (a >> 2 & 0x3F3F3F) + (a >> 4 & 0x0F0F0F) : 0xFF0000;
      if (e != a && nDiffering++ == 0)
        first = "; the first at (" + std::to_string(x) + ", " + std::to_string(y) +
                "): expected " + Hex(e) + ", got " + Hex(a);
    }
  if (bSameSize && nDiffering == 0) return EGoldenResult::kMatch;
  WritePng(actualPath, actual);
  if (bSameSize) WritePng(diffPath, diff);
  strMessage = "differs from " + strGoldenPath + ": " +
               (bSameSize ? std::to_string(nDiffering) + " pixels differ" + first +
                                "; differing pixels in red: " + diffPath
                          : "expected " + std::to_string(expected.nWidth) + "x" +
                                std::to_string(expected.nHeight) + ", got " +
                                std::to_string(actual.nWidth) + "x" +
                                std::to_string(actual.nHeight)) +
               ". Actual picture: " + actualPath;
  return EGoldenResult::kMismatch;
}

bool RunHeadlessQuietly(const SRunnerOptions& options, std::string& strError) {
  // The runner reports on two streams; keep them for the failure message.
  std::FILE* pOut = std::tmpfile();
  std::FILE* pErr = std::tmpfile();
  if (!pOut || !pErr) {
    if (pOut) std::fclose(pOut);
    if (pErr) std::fclose(pErr);
    strError = "cannot make temporary files";
    return false;
  }
  const int nExit = RunHeadless(options, pOut, pErr);
  const std::string strErr = ReadAll(pErr);
  std::fclose(pOut);
  std::fclose(pErr);
  if (nExit != 0) {
    strError = "the runner ended with " + std::to_string(nExit) + ": " + strErr;
    return false;
  }
  return true;
}
