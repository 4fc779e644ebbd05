#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

class CNes;
class CMessageRecorder;
class CKeyStateKeyboard;
class CMemorySettingsStore;

// A key going down or up at a given frame: applied in the event pump that
// ends frame nFrame (1 = the first frame's pump), or before Run for 0.
struct SKeyEvent {
  int nFrame = 0;
  int nKeyCode = 0;  // DirectInput key code
  bool bDown = true;
};

struct SRomRunOptions {
  int nMaxFrames = 60;
  std::vector<SKeyEvent> keys;
  // End at the first pump that finds a final result at $6000 (signature
  // present, status no longer $80) instead of running all nMaxFrames.
  bool bStopWhenDone = true;
};

// What a test program left behind, read without side effects after Run.
struct SRomRunResult {
  bool bLoaded = false;
  bool bSignature = false;  // DE B0 61 at $6001-$6003
  BYTE status = 0;          // $6000: $80 running, 0 passed, else the failed check
  std::string strText;      // zero-terminated text from $6004
  int nFrames = 0;          // event pumps seen
  bool bBadOpcode = false;
  std::vector<std::string> messages;  // message boxes shown, in order

  bool Passed() const { return bLoaded && bSignature && status == 0; }
  // One line for a failed assertion.
  std::string Describe() const;
};

// The whole console with test doubles (NULL engine, recorded message boxes,
// scripted keyboard and event pump), for running 6502 test programs.
class CRomRunner {
 public:
  CRomRunner();
  ~CRomRunner();
  CRomRunner(const CRomRunner&) = delete;
  CRomRunner& operator=(const CRomRunner&) = delete;

  // Loads a file from the built test-program folder, e.g. "cpu_stack.nes".
  bool Load(const std::string& strFileName);
  bool LoadPath(const std::string& strPath);
  SRomRunResult Run(const SRomRunOptions& options);

  CNes& Nes();
  CMessageRecorder& Messages();
  CKeyStateKeyboard& Keyboard();
  CMemorySettingsStore& Settings();

  // Byte at a CPU address without side effects (after Run).
  BYTE Peek(WORD addr);
  // Zero-terminated text starting at addr (at most 256 bytes).
  std::string PeekText(WORD addr);

 private:
  struct SParts;
  std::unique_ptr<SParts> m_p;
};

// The path of a built test program.
std::string TestRomPath(const std::string& strFileName);

// Loads and runs a test program in a fresh console.
SRomRunResult RunTestRom(const std::string& strFileName, const SRomRunOptions& options = {});
