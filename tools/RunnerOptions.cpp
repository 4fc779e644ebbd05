#include "tools/RunnerOptions.h"

#include <cstdlib>

namespace {
bool ParseNumber(const std::string& text, int nBase, long nMin, long nMax, int& nOut) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, nBase);
  if (*end != '\0' || value < nMin || value > nMax) return false;
  nOut = static_cast<int>(value);
  return true;
}

// "6000-60FF" or "6000:16" (first address and byte count), hexadecimal.
bool ParseRange(const std::string& text, SMemoryRange& range) {
  const auto dash = text.find('-');
  const auto colon = text.find(':');
  if (dash != std::string::npos) {
    return ParseNumber(text.substr(0, dash), 16, 0, 0xFFFF, range.nFirst) &&
           ParseNumber(text.substr(dash + 1), 16, 0, 0xFFFF, range.nLast) &&
           range.nFirst <= range.nLast;
  }
  if (colon != std::string::npos) {
    int nCount = 0;
    if (!ParseNumber(text.substr(0, colon), 16, 0, 0xFFFF, range.nFirst) ||
        !ParseNumber(text.substr(colon + 1), 16, 1, 0x10000, nCount))
      return false;
    range.nLast = range.nFirst + nCount - 1;
    return range.nLast <= 0xFFFF;
  }
  if (!ParseNumber(text, 16, 0, 0xFFFF, range.nFirst)) return false;
  range.nLast = range.nFirst;
  return true;
}
}  // namespace

const char* RunnerUsage() {
  return "usage: tolvar-run [options] ROM.nes\n"
         "  --frames N          run N frames (default 60)\n"
         "  --engine E          null, sdl or directx (default null)\n"
         "  --input FILE        controller script: lines of \"FRAME BUTTON...\"; the buttons\n"
         "                      (A B Select Start Up Down Left Right) are held from FRAME on\n"
         "  --trace FILE        write one line per instruction (\"-\" for stdout)\n"
         "  --start-pc HEX      start at HEX instead of the reset vector\n"
         "  --dump RANGE        print memory at the end, e.g. 6000-600F or 0000:100 (hex)\n"
         "  --screenshot FILE   save the 256x240 picture of the last frame as PNG\n"
         "                      (needs --engine sdl or directx)\n"
         "  --window-shot FILE  save the whole SDL window (with debug views) as PNG\n"
         "  --debug-view        switch the SDL engine's debug views on\n"
         "  --window            open a real window instead of SDL's dummy video driver\n"
         "                      (an SDL_VIDEODRIVER in the environment is kept as it is)\n"
         "  --realtime          pace frames to the console's 60.0988 per second\n";
}

bool ParseRunnerOptions(int argc, const char* const* argv, SRunnerOptions& options,
                        std::string& strError) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        strError = arg + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      options.bHelp = true;
    } else if (arg == "--frames") {
      if (!value(v)) return false;
      if (!ParseNumber(v, 10, 0, 100000000, options.nFrames)) {
        strError = "--frames needs a whole number of frames, not \"" + v + "\"";
        return false;
      }
    } else if (arg == "--engine") {
      if (!value(options.strEngine)) return false;
      if (options.strEngine != "null" && options.strEngine != "sdl" &&
          options.strEngine != "directx") {
        strError = "--engine must be null, sdl or directx, not \"" + options.strEngine + "\"";
        return false;
      }
    } else if (arg == "--input") {
      if (!value(options.strInputScript)) return false;
    } else if (arg == "--trace") {
      if (!value(options.strTracePath)) return false;
    } else if (arg == "--start-pc") {
      if (!value(v)) return false;
      if (v.rfind("0x", 0) == 0 || v.rfind("0X", 0) == 0) v = v.substr(2);
      if (!v.empty() && v[0] == '$') v = v.substr(1);
      if (!ParseNumber(v, 16, 0, 0xFFFF, options.nStartPc)) {
        strError = "--start-pc needs a hexadecimal address, not \"" + v + "\"";
        return false;
      }
    } else if (arg == "--dump") {
      if (!value(v)) return false;
      SMemoryRange range;
      if (!ParseRange(v, range)) {
        strError = "--dump needs a range like 6000-600F or 0000:100, not \"" + v + "\"";
        return false;
      }
      options.dumps.push_back(range);
    } else if (arg == "--screenshot") {
      if (!value(options.strScreenshot)) return false;
    } else if (arg == "--window-shot") {
      if (!value(options.strWindowShot)) return false;
    } else if (arg == "--debug-view") {
      options.bDebugView = true;
    } else if (arg == "--window") {
      options.bWindow = true;
    } else if (arg == "--realtime") {
      options.bRealTime = true;
    } else if (!arg.empty() && arg[0] == '-') {
      strError = "unknown option " + arg;
      return false;
    } else if (options.strRomPath.empty()) {
      options.strRomPath = arg;
    } else {
      strError = "only one ROM may be given";
      return false;
    }
  }
  if (!options.bHelp && options.strEngine == "null" &&
      (!options.strScreenshot.empty() || !options.strWindowShot.empty())) {
    strError = std::string(options.strScreenshot.empty() ? "--window-shot" : "--screenshot") +
               " needs an engine that draws; the null engine draws nothing (use --engine sdl)";
    return false;
  }
  if (!options.bHelp && options.strRomPath.empty()) {
    strError = "no ROM given";
    return false;
  }
  return true;
}

const char* EngineSettingName(const std::string& strEngine) {
  if (strEngine == "sdl") return "SDL";
  if (strEngine == "directx") return "DirectX";
  return "NULL";
}
