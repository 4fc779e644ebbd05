#include "tools/HeadlessRunner.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
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
#include "platform/OffscreenTarget.h"
#include "platform/PngFile.h"
#include "platform/SdlEventPump.h"
#include "platform/SdlTicks.h"
#include "platform/SoftDirectDraw.h"
#include "platform/SettingsTable.h"
#include "platform/StderrMessageBox.h"
#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"
#include "tools/TraceWriter.h"
#include "video/GraphicEngine.h"
#include "video/ScreenCapture.h"

namespace {
// Counts frames at the loop's once-per-frame pump, plays the input script
// and stops the machine after the requested number of frames, running the
// last-frame action first (the screenshots, taken while the engine still
// holds its picture).
class CRunnerPump : public IEventPump {
 public:
  CRunnerPump(CNes*& pNes, int nFrames, const CInputScript& script, CKeyStateKeyboard& keyboard,
              const int* keyCodes)
      : m_pNes(pNes), m_nFrames(nFrames), m_script(script), m_keyboard(keyboard),
        m_keyCodes(keyCodes) {}

  void SetLastFrameAction(std::function<void()> action) { m_lastFrame = std::move(action); }

  void ApplyInput(int nFrame) {
    // Without a script the keys belong to whoever presses them in the window.
    if (m_script.Empty()) return;
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
      RunLastFrameAction();
      m_pNes->Stop();
      return;
    }
    ApplyInput(m_nFramesDone + 1);
  }

  int FramesDone() const { return m_nFramesDone; }
  bool LastFrameReached() const { return m_bLastFrameDone; }
  void RunLastFrameAction() {
    m_bLastFrameDone = true;
    if (m_lastFrame) m_lastFrame();
  }

 private:
  CNes*& m_pNes;
  int m_nFrames;
  int m_nFramesDone = 0;
  const CInputScript& m_script;
  CKeyStateKeyboard& m_keyboard;
  const int* m_keyCodes;
  std::function<void()> m_lastFrame;
  bool m_bLastFrameDone = false;
};

bool ReadTextFile(const std::string& strPath, std::string& strText) {
  std::ifstream file(strPath);
  if (!file) return false;
  std::ostringstream s;
  s << file.rdbuf();
  strText = s.str();
  return true;
}

bool SaveCapture(IScreenCapture* pCapture, bool bWholeWindow, const std::string& strPath,
                 std::FILE* pErr) {
  SImage image;
  const bool bCaptured =
      pCapture && (bWholeWindow ? pCapture->CaptureWindow(image) : pCapture->CapturePicture(image));
  if (!bCaptured) {
    std::fprintf(pErr, "tolvar-run: no picture to save as %s (the engine showed none)\n",
                 strPath.c_str());
    return false;
  }
  std::string error;
  if (!WritePng(strPath, image, &error)) {
    std::fprintf(pErr, "tolvar-run: cannot write %s: %s\n", strPath.c_str(), error.c_str());
    return false;
  }
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
  const bool bWantsPicture = !options.strScreenshot.empty() || !options.strWindowShot.empty();
  if (bWantsPicture && options.strEngine == "null") {
    std::fprintf(pErr,
                 "tolvar-run: --screenshot and --window-shot need an engine that draws; the null "
                 "engine draws nothing (use --engine sdl)\n");
    return 2;
  }
  // Headless unless a real window is asked for; an explicit driver choice
  // in the environment wins.
  if (!options.bWindow && !std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);

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
  settings.WriteString("Settings", "GraphicEngine", EngineSettingName(options.strEngine));
  CStderrMessageBox messageBox;
  CKeyStateKeyboard keyboard;
  CSdlTicks ticks;

  CNes* pNes = nullptr;
  int keyCodes[CInput::kButtonCount];
  for (int b = 0; b < CInput::kButtonCount; ++b)
    keyCodes[b] = settings.GetInt("Input", CInput::kButtonNames[b], CInput::kDefaultKeyCodes[b]);
  CRunnerPump pump(pNes, options.nFrames, script, keyboard, keyCodes);
  // The SDL window's own events first: its keys and its close button.
  CSdlEventPump sdlPump(&keyboard, [&pNes] { pNes->Stop(); }, &pump);

  SPlatform platform;
  platform.pSettings = &settings;
  platform.pMessageBox = &messageBox;
  platform.pKeyboard = &keyboard;
  platform.pTicks = &ticks;
  platform.pEventPump = &sdlPump;
  // The DirectX engine draws through software drawing objects onto a display
  // kept in memory.
  COffscreenTarget display;
  CSoftDirectDrawFactory directDraw(display);
  platform.pDirectDraw = &directDraw;
  platform.bPaceFrames = options.bRealTime;

  auto nes = std::make_unique<CNes>(platform);
  pNes = nes.get();
  if (!nes->LoadRom(&rom)) {
    std::fprintf(pErr, "tolvar-run: %s uses mapper %d, which is not supported\n",
                 options.strRomPath.c_str(), rom.m_nMapper);
    return 2;
  }
  if (options.nStartPc >= 0) nes->SetStartPc(options.nStartPc);
  if (options.bDebugView) nes->Engine()->ToggleDebugView();

  bool bCaptureFailed = false;
  if (bWantsPicture) {
    if (!dynamic_cast<IScreenCapture*>(nes->Engine())) {
      std::fprintf(pErr, "tolvar-run: the %s engine cannot give its picture\n",
                   options.strEngine.c_str());
      return 2;
    }
    // The loop's Shutdown takes the screen away, so the pictures are taken
    // at the last frame's pump, just after it was presented.
    pump.SetLastFrameAction([&] {
      auto* pCapture = dynamic_cast<IScreenCapture*>(pNes->Engine());
      if (!options.strScreenshot.empty() &&
          !SaveCapture(pCapture, false, options.strScreenshot, pErr))
        bCaptureFailed = true;
      if (!options.strWindowShot.empty() &&
          !SaveCapture(pCapture, true, options.strWindowShot, pErr))
        bCaptureFailed = true;
    });
  }

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
  if (bWantsPicture && !pump.LastFrameReached()) {
    // Stopped early (bad opcode, Escape, the window closed): save what the
    // engine last presented, if it still has it.
    pump.RunLastFrameAction();
  }
  if (nes->StoppedOnBadOpcode()) return 1;
  return bCaptureFailed ? 2 : 0;
}
