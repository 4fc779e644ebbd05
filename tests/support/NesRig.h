#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Nes.h"
#include "core/Rom.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/OffscreenTarget.h"
#include "platform/SoftDirectDraw.h"
#include "support/RecordingEngine.h"

// A console wired to test doubles, with every engine it builds recorded; or,
// given an engine's setting name, with the real engines, drawn off screen.
struct SNesRig {
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  CScriptedEventPump pump;
  CRecordingStatusText status;
  COffscreenTarget display;
  CSoftDirectDrawFactory directDraw{display};
  std::unique_ptr<CNes> nes;
  std::vector<CRecordingEngine*> engines;  // owned by the console
  std::vector<std::string> engineNames;
  CRom rom;

  explicit SNesRig(const char* pszEngine = nullptr);
  CRecordingEngine& Engine() { return *engines.back(); }
  // Loads an image built in memory; false when the file or the mapper is refused.
  bool Load(const std::vector<BYTE>& file);
  // Runs until nFrames vertical blanks have been pumped, then stops.
  void RunFrames(int nFrames);
};

// A 32 KB image with code at 0x8000, where every vector points, and extra
// bytes at other addresses.
std::vector<BYTE> MakeProgram(const std::vector<BYTE>& code, int mapper = 0,
                              const std::vector<std::pair<WORD, std::vector<BYTE>>>& extra = {});
