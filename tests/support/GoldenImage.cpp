#include "support/GoldenImage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

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

std::string SImageDiff::Describe() const {
  std::ostringstream s;
  if (!bSameSize) {
    s << "the sizes differ";
    return s.str();
  }
  if (nDiffering == 0) return "equal";
  s << nDiffering << " pixel" << (nDiffering == 1 ? "" : "s") << " differ; the first at ("
    << nFirstX << ", " << nFirstY << "): expected " << Hex(expected) << ", got " << Hex(actual);
  return s.str();
}

SImageDiff CompareImages(const SImage& expected, const SImage& actual) {
  SImageDiff diff;
  if (expected.nWidth != actual.nWidth || expected.nHeight != actual.nHeight ||
      expected.pixels.size() != actual.pixels.size()) {
    diff.bSameSize = false;
    return diff;
  }
  for (int y = 0; y < expected.nHeight; ++y) {
    for (int x = 0; x < expected.nWidth; ++x) {
      const std::uint32_t e = expected.At(x, y) & 0xFFFFFF;
      const std::uint32_t a = actual.At(x, y) & 0xFFFFFF;
      if (e == a) continue;
      if (diff.nDiffering++ == 0) {
        diff.nFirstX = x;
        diff.nFirstY = y;
        diff.expected = e;
        diff.actual = a;
      }
    }
  }
  return diff;
}

SImage DiffImage(const SImage& expected, const SImage& actual) {
  SImage out(actual.nWidth, actual.nHeight);
  for (int y = 0; y < actual.nHeight; ++y) {
    for (int x = 0; x < actual.nWidth; ++x) {
      const bool bInside = x < expected.nWidth && y < expected.nHeight;
      const std::uint32_t a = actual.At(x, y) & 0xFFFFFF;
      if (bInside && (expected.At(x, y) & 0xFFFFFF) == a) {
        out.At(x, y) = PackRgb(static_cast<std::uint8_t>((a >> 16 & 0xFF) / 3),
                               static_cast<std::uint8_t>((a >> 8 & 0xFF) / 3),
                               static_cast<std::uint8_t>((a & 0xFF) / 3));
      } else {
        out.At(x, y) = PackRgb(255, 0, 0);
      }
    }
  }
  return out;
}

bool GoldenUpdateRequested() {
  const char* pValue = std::getenv("TOLVAR_UPDATE_GOLDEN");
  return pValue && std::string(pValue) == "1";
}

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
  if (GoldenUpdateRequested()) {
    fs::create_directories(fs::path(strGoldenPath).parent_path(), ignored);
    if (!WritePng(strGoldenPath, actual, &error)) {
      strMessage = error;
      return EGoldenResult::kMismatch;
    }
    strMessage = "TOLVAR_UPDATE_GOLDEN=1: wrote " + strGoldenPath + "; review it before keeping it";
    return EGoldenResult::kWritten;
  }
  fs::create_directories(fs::path(actualPath).parent_path(), ignored);
  SImage expected;
  if (!ReadPng(strGoldenPath, expected, &error)) {
    WritePng(actualPath, actual);
    strMessage = "no golden " + strGoldenPath + " (" + error + "); the picture is in " +
                 actualPath + ". Review it, then run with TOLVAR_UPDATE_GOLDEN=1 to keep it.";
    return EGoldenResult::kMismatch;
  }
  const SImageDiff diff = CompareImages(expected, actual);
  if (diff.Equal()) return EGoldenResult::kMatch;
  WritePng(actualPath, actual);
  if (diff.bSameSize) WritePng(diffPath, DiffImage(expected, actual));
  strMessage = "differs from " + strGoldenPath + ": " + diff.Describe() + " (expected " +
               std::to_string(expected.nWidth) + "x" + std::to_string(expected.nHeight) +
               ", got " + std::to_string(actual.nWidth) + "x" + std::to_string(actual.nHeight) +
               "). Actual picture: " + actualPath +
               (diff.bSameSize ? "; differing pixels in red: " + diffPath : "");
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
