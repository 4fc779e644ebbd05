#pragma once

#include <string>
#include <vector>

// Command line of tolvar-run.
struct SMemoryRange {
  int nFirst = 0;
  int nLast = 0;
};

struct SRunnerOptions {
  std::string strRomPath;
  int nFrames = 60;
  std::string strEngine = "null";  // null, sdl or directx
  std::string strInputScript;      // file of "frame button..." lines
  std::string strTracePath;        // per-instruction trace, "-" for stdout
  int nStartPc = -1;               // -1: the reset vector
  std::vector<SMemoryRange> dumps;
  std::string strScreenshot;       // the 256 x 240 picture as a PNG
  std::string strWindowShot;       // the whole SDL window as a PNG
  bool bDebugView = false;
  bool bWindow = false;    // a real window instead of the dummy video driver
  bool bRealTime = false;  // pace to the console's frame rate
  bool bHelp = false;
};

// Parses argv; false with a message in strError for bad arguments.
bool ParseRunnerOptions(int argc, const char* const* argv, SRunnerOptions& options,
                        std::string& strError);

const char* RunnerUsage();

// The "GraphicEngine" setting for an --engine name.
const char* EngineSettingName(const std::string& strEngine);
