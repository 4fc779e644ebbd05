#include "support/FrameStates.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "core/Mapper0.h"
#include "core/Memory.h"
#include "core/Nes.h"
#include "core/Ram.h"
#include "core/Rom.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "platform/Host.h"
#include "platform/HostDoubles.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "platform/OffscreenTarget.h"
#include "platform/SettingsTable.h"
#include "platform/SoftDirectDraw.h"
#include "ppu/Ppu.h"
#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"
#include "tools/TraceWriter.h"
#include "video/GraphicEngine.h"
#include "video/ScreenCapture.h"

namespace {
// FNV-1a's steps on eight bytes at a time, with a rotation so that high
// bits reach the low ones: each step is invertible, so any one changed
// byte changes the hash.
struct SHash {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  void Add(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (; n >= 8; b += 8, n -= 8) {
      std::uint64_t w;
      std::memcpy(&w, b, 8);
      Mix(w);
    }
    for (; n > 0; ++b, --n) Mix(*b);
  }
  void Mix(std::uint64_t w) {
    h ^= w;
    h = (h << 29 | h >> 35) * 0x100000001B3ULL;
  }
  template <class T>
  void Value(const T& v) {
    Add(&v, sizeof(v));
  }
};

void HashCpu(SHash& h, const CCpu& c) {
  for (int v : {int(c.m_A), int(c.m_X), int(c.m_Y), int(c.m_PC), int(c.m_P), int(c.m_SP),
                int(c.m_bCarry), int(c.m_bZero), int(c.m_bInterrupt), int(c.m_bDecimal),
                int(c.m_bBreak), int(c.m_bBit5), int(c.m_bOverflow), int(c.m_bNegative)})
    h.Value(v);
}

void HashPpu(SHash& h, const CPpu& p) {
  for (int v : {p.m_nFineY, int(p.m_nFineX), int(p.m_bFullScreen), int(p.m_bVertical),
                int(p.m_Control), int(p.m_Mask), int(p.m_Status), int(p.m_SpriteAddr),
                int(p.m_TempAddr), int(p.m_VramAddr), int(p.m_ReadBuffer),
                int(CPpu::WriteToggle())})
    h.Value(v);
  h.Add(p.m_Vram, sizeof(p.m_Vram));
  h.Add(p.m_SpriteRam, sizeof(p.m_SpriteRam));
  h.Add(p.m_SpritePalette, sizeof(p.m_SpritePalette));
  h.Add(p.m_BgPalette, sizeof(p.m_BgPalette));
}

// The loop's once-per-frame pump, where each frame is hashed.
class CHashingPump : public IEventPump {
 public:
  std::function<void()> onFrame;
  void PumpPendingEvents() override { onFrame(); }
};
}  // namespace

bool RunFrameStates(const SFrameStateRun& run, int nEvery, SFrameStates& states,
                    std::string& strError) {
  states = SFrameStates();
  CInputScript script;
  if (!script.Parse(run.strInput, strError)) return false;

  CMemorySettingsStore settings;
  WriteFirstRunSettings(settings);
  settings.WriteString("Settings", "GraphicEngine", EngineSettingName(run.strEngine));
  CMessageRecorder messages;
  CKeyStateKeyboard keyboard;
  CManualTicks ticks;
  CHashingPump pump;
  COffscreenTarget display;
  CSoftDirectDrawFactory directDraw(display);
  SPlatform platform;
  platform.pSettings = &settings;
  platform.pMessageBox = &messages;
  platform.pKeyboard = &keyboard;
  platform.pTicks = &ticks;
  platform.pEventPump = &pump;
  platform.pDirectDraw = &directDraw;
  platform.bPaceFrames = false;

  CRom rom;
  auto nes = std::make_unique<CNes>(platform);
  if (!rom.Load(run.strRomPath) || !nes->LoadRom(&rom)) {
    strError = "cannot load " + run.strRomPath;
    return false;
  }
  if (run.bDebugView) nes->Engine()->ToggleDebugView();

  char* pTraceText = nullptr;
  std::size_t nTraceSize = 0, nTraceHashed = 0;
  std::FILE* pTrace = nullptr;
  std::unique_ptr<CTraceWriter> tracer;
  if (run.bTrace) {
    pTrace = open_memstream(&pTraceText, &nTraceSize);
    tracer = std::make_unique<CTraceWriter>(pTrace);
    nes->Cpu()->SetTracer(tracer.get());
  }

  int keyCodes[CInput::kButtonCount];
  for (int b = 0; b < CInput::kButtonCount; ++b)
    keyCodes[b] = settings.GetInt("Input", CInput::kButtonNames[b], CInput::kDefaultKeyCodes[b]);
  auto applyInput = [&](int nFrame) {
    if (script.Empty()) return;
    bool held[CInput::kButtonCount] = {};
    for (int b : script.ButtonsAt(nFrame)) held[b] = true;
    for (int b = 0; b < CInput::kButtonCount; ++b) keyboard.SetKey(keyCodes[b], held[b] ? 0x80 : 0);
  };

  SHash h;
  std::size_t nMessages = 0;
  SImage picture;
  auto hashState = [&] {
    HashCpu(h, *nes->Cpu());
    HashPpu(h, *nes->Ppu());
    h.Add(nes->Ram()->m_data, sizeof(nes->Ram()->m_data));
    if (auto* pMapper0 = dynamic_cast<CMapper0*>(nes->Memory()->m_pMapper))
      h.Add(pMapper0->m_Sram, sizeof(pMapper0->m_Sram));
    for (int v : {nes->m_nScanline, nes->m_nCycles, static_cast<int>(nes->m_nFrameCount)}) h.Value(v);
    for (; nMessages < messages.Messages().size(); ++nMessages)
      h.Add(messages.Messages()[nMessages].data(), messages.Messages()[nMessages].size());
    if (auto* pCapture = dynamic_cast<IScreenCapture*>(nes->Engine())) {
      const bool bShown =
          run.bDebugView ? pCapture->CaptureWindow(picture) : pCapture->CapturePicture(picture);
      h.Value(bShown);
      if (bShown) h.Add(picture.pixels.data(), picture.pixels.size() * sizeof(picture.pixels[0]));
    }
    if (pTrace) {
      std::fflush(pTrace);
      h.Add(pTraceText + nTraceHashed, nTraceSize - nTraceHashed);
      nTraceHashed = nTraceSize;
    }
  };
  pump.onFrame = [&] {
    hashState();
    const int nFrame = ++states.nFrames;
    if (nFrame % nEvery == 0) states.checkpoints.push_back(h.h);
    if (nFrame >= run.nFrames)
      nes->Stop();
    else
      applyInput(nFrame + 1);
  };
  applyInput(1);
  nes->Run();
  hashState();
  states.final = h.h;
  states.bBadOpcode = nes->StoppedOnBadOpcode();
  nes->Cpu()->SetTracer(nullptr);
  if (pTrace) std::fclose(pTrace);
  std::free(pTraceText);
  return true;
}
