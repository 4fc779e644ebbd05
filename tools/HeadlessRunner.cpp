#include "tools/HeadlessRunner.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/Memory.h"
#include "core/Nes.h"
#include "core/Rom.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "platform/Host.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SdlTicks.h"
#include "platform/SettingsTable.h"
#include "platform/StderrMessageBox.h"
#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"
#include "tools/TraceWriter.h"

namespace {
const char* EngineSetting(const std::string& strEngine) {
  if (strEngine == "sdl") return "SDL";
  if (strEngine == "directx") return "DirectX";
  return "NULL";
}

// Counts frames at the loop's once-per-frame pump, plays the input script
// and stops the machine after the requested number of frames.
class CRunnerPump : public IEventPump {
 public:
  CRunnerPump(CNes*& pNes, int nFrames, const CInputScript& script, CKeyStateKeyboard& keyboard,
              const int* keyCodes)
      : m_pNes(pNes), m_nFrames(nFrames), m_script(script), m_keyboard(keyboard),
        m_keyCodes(keyCodes) {}

  void ApplyInput(int nFrame) {
    bool held[CInput::kButtonCount] = {};
    for (int b : m_script.ButtonsAt(nFrame)) held[b] = true;
    for (int b = 0; b < CInput::kButtonCount; ++b) {
      if (held[b])
        m_keyboard.Press(m_keyCodes[b]);
      else
        m_keyboard.Release(m_keyCodes[b]);
    }
  }

  void PumpPendingEvents() override {
    ++m_nFramesDone;
    if (m_nFramesDone >= m_nFrames) {
      m_pNes->Stop();
      return;
    }
    ApplyInput(m_nFramesDone + 1);
  }

  int FramesDone() const { return m_nFramesDone; }

 private:
  CNes*& m_pNes;
  int m_nFrames;
  int m_nFramesDone = 0;
  const CInputScript& m_script;
  CKeyStateKeyboard& m_keyboard;
  const int* m_keyCodes;
};

bool ReadTextFile(const std::string& strPath, std::string& strText) {
  std::ifstream file(strPath);
  if (!file) return false;
  std::ostringstream s;
  s << file.rdbuf();
  strText = s.str();
  return true;
}

void PrintDump(std::FILE* pOut, const CMemory& memory, int nFirst, int nLast) {
  for (int line = nFirst & ~0xF; line <= nLast; line += 16) {
    std::fprintf(pOut, "%04X:", line);
    for (int a = line; a < line + 16; ++a) {
      if (a < nFirst || a > nLast)
        std::fprintf(pOut, "   ");
      else
        std::fprintf(pOut, " %02X", memory.PeekByte(static_cast<WORD>(a)));
    }
    std::fprintf(pOut, "\n");
  }
}
}  // namespace

int RunHeadless(const SRunnerOptions& options, std::FILE* pOut, std::FILE* pErr) {
  CInputScript script;
  if (!options.strInputScript.empty()) {
    std::string text, error;
    if (!ReadTextFile(options.strInputScript, text)) {
      std::fprintf(pErr, "tolvar-run: cannot read input script %s\n",
                   options.strInputScript.c_str());
      return 2;
    }
    if (!script.Parse(text, error)) {
      std::fprintf(pErr, "tolvar-run: %s: %s\n", options.strInputScript.c_str(), error.c_str());
      return 2;
    }
  }

  CRom rom;
  if (!rom.Load(options.strRomPath)) {
    std::fprintf(pErr,
                 "tolvar-run: %s is not a usable iNES image (unreadable, wrong signature, or "
                 "shorter than its header announces)\n",
                 options.strRomPath.c_str());
    return 2;
  }

  CMemorySettingsStore settings;
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", EngineSetting(options.strEngine));
  CStderrMessageBox messageBox;
  CKeyStateKeyboard keyboard;
  CSdlTicks ticks;

  CNes* pNes = nullptr;
  int keyCodes[CInput::kButtonCount];
  for (int b = 0; b < CInput::kButtonCount; ++b)
    keyCodes[b] = settings.GetInt("Input", CInput::kButtonNames[b], CInput::kDefaultKeyCodes[b]);
  CRunnerPump pump(pNes, options.nFrames, script, keyboard, keyCodes);

  SPlatform platform;
  platform.pSettings = &settings;
  platform.pMessageBox = &messageBox;
  platform.pKeyboard = &keyboard;
  platform.pTicks = &ticks;
  platform.pEventPump = &pump;

  auto nes = std::make_unique<CNes>(platform);
  pNes = nes.get();
  if (!nes->LoadRom(&rom)) {
    std::fprintf(pErr, "tolvar-run: %s uses mapper %d, which is not supported\n",
                 options.strRomPath.c_str(), rom.m_nMapper);
    return 2;
  }
  if (options.nStartPc >= 0) nes->SetStartPc(options.nStartPc);

  std::FILE* pTrace = nullptr;
  std::unique_ptr<CTraceWriter> tracer;
  if (!options.strTracePath.empty()) {
    pTrace = options.strTracePath == "-" ? pOut : std::fopen(options.strTracePath.c_str(), "w");
    if (!pTrace) {
      std::fprintf(pErr, "tolvar-run: cannot write trace %s\n", options.strTracePath.c_str());
      return 2;
    }
    tracer = std::make_unique<CTraceWriter>(pTrace);
    nes->Cpu()->SetTracer(tracer.get());
  }

  pump.ApplyInput(1);
  const auto start = std::chrono::steady_clock::now();
  if (options.nFrames > 0) nes->Run();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (pTrace && pTrace != pOut) std::fclose(pTrace);

  const int nFrames = pump.FramesDone();
  std::fprintf(pOut, "frames: %d\nseconds: %.3f\nfps: %.1f\n", nFrames, seconds,
               seconds > 0 ? nFrames / seconds : 0.0);
  for (const SMemoryRange& range : options.dumps)
    PrintDump(pOut, *nes->Memory(), range.nFirst, range.nLast);
  return nes->StoppedOnBadOpcode() ? 1 : 0;
}
