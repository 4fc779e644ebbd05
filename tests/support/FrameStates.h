#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Runs a program in a console built as the headless runner builds it and
// hashes, at every frame boundary (the loop's once-per-frame event pump),
// everything a frame leaves behind: work RAM, cartridge RAM, the CPU
// registers, the PPU's registers and memories, the loop's counters, the
// messages shown, the picture the engine presented and, when tracing, the
// trace lines written during the frame.
struct SFrameStateRun {
  std::string strRomPath;
  std::string strEngine;  // "null", "sdl" or "directx"
  int nFrames = 100;
  std::string strInput;   // an input script for the runner (--input), or empty
  bool bDebugView = false;  // the SDL window's debug views, hashed with the window
  bool bTrace = false;
};

struct SFrameStates {
  int nFrames = 0;  // frame boundaries passed
  bool bBadOpcode = false;
  // The frame hashes chained (each frame's hash folds in the one before),
  // read off after every nEvery frames.
  std::vector<std::uint64_t> checkpoints;
  // The chain with the state after the run ended folded in.
  std::uint64_t final = 0;
};

// False with a reason when the program or the input script is refused.
bool RunFrameStates(const SFrameStateRun& run, int nEvery, SFrameStates& states,
                    std::string& strError);
