// Nothing observable may change when the emulator is made faster. Every
// test program, the benchmarks and the demo cartridge (with a scripted
// player) run on each engine in a console built as the headless runner builds
// it. At every frame boundary (the loop's once-per-frame event pump) the work
// RAM, cartridge RAM, CPU registers, PPU state, loop counters, messages shown,
// the picture presented and, when tracing, the frame's trace lines are hashed.
// The chained hashes must equal the reference in tests/golden/frame_states.txt,
// which holds 3,000 frames of each run.
//
// The reference was recorded by this same test built on commit 6b52795, the
// code before the speed work, and since then only by commits that change
// behaviour on purpose (a mend, a changed test program), for the runs they
// change; it is the behaviour the emulator keeps. The
// suite checks a prefix of each run so that it takes seconds;
// TOLVAR_FRAME_STATES_FULL=1 checks every recorded frame, and
// TOLVAR_UPDATE_FRAME_STATES=1 records the file anew (only ever from code
// whose behaviour is the one to keep).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "core/Mapper0.h"
#include "core/Memory.h"
#include "core/Ram.h"
#include "cpu/Cpu.h"
#include "input/Input.h"
#include "ppu/Ppu.h"
#include "support/NesRig.h"
#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"
#include "tools/TraceWriter.h"
#include "video/GraphicEngine.h"
#include "video/ScreenCapture.h"

namespace {
// Frames between two recorded hashes, and frames recorded: trace lines are
// many, so fewer frames of them.
constexpr int kEvery = 100, kRecordedFrames = 3000, kTracedFrames = 30;
int RecordedFrames(const std::string& name) {
  return name.ends_with("/trace") ? kTracedFrames : kRecordedFrames;
}

// The player: walks, jumps about, presses everything, and lets go.
constexpr const char* kDemoInput =
    "1\n40 Right\n160 Right A\n260 Left\n420 Up Left\n520 Up\n600 Down Right\n760 B\n"
    "800 Start\n830\n900 Select Left Down\n1100 Right\n1500 Left Up\n1800 Down\n2100 A B Right\n"
    "2400 Left\n2700\n2800 Up Right\n";

// FNV-1a's steps on eight bytes at a time, with a rotation so that high bits
// reach the low ones: each step is invertible, so any one changed byte changes
// the hash. Where a block is cut into words is part of the recorded hashes.
struct SHash {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  void Add(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::uint64_t w; n >= 8; b += 8, n -= 8) Mix((std::memcpy(&w, b, 8), w));
    for (; n > 0; ++b, --n) Mix(*b);
  }
  void Mix(std::uint64_t w) { h = ((h ^ w) << 29 | (h ^ w) >> 35) * 0x100000001B3ULL; }
  template <class T>
  void Block(const T& v) {
    Add(&v, sizeof(v));
  }
  void Ints(std::initializer_list<int> values) {
    for (int v : values) Block(v);
  }
};

// A run's name is rom/engine, then /window for the SDL window with its debug
// views hashed whole, /debug for the picture alone with the debug views on,
// or /trace.
struct SCase {
  std::string strName;
  int nSuiteFrames;  // the prefix the suite checks
};
void PrintTo(const SCase& c, std::ostream* pOut) { *pOut << c.strName; }

std::vector<std::string> Roms() {
  std::set<std::string> roms;
  for (const auto& entry : std::filesystem::directory_iterator(TOLVAR_ROM_DIR))
    if (entry.path().extension() == ".nes") roms.insert(entry.path().stem().string());
  return {roms.begin(), roms.end()};
}

std::vector<SCase> Cases() {
  std::vector<SCase> cases;
  for (const std::string& rom : Roms()) {
    // The demo's whole recorded run on the engine that shows most; a third of
    // it on the others.
    for (const char* engine : {"null", "sdl", "directx"})
      cases.push_back({rom + "/" + engine, rom != "demo" ? 200 : engine[0] == 's' ? 3000 : 1000});
    cases.push_back({rom + "/null/trace", kTracedFrames});
    // The debug views draw beside the picture only: with them on, the machine
    // and the 256 x 240 picture are those recorded without them.
    cases.push_back({rom + "/sdl/debug", rom != "demo" ? 300 : 3000});
  }
  cases.push_back({"demo/sdl/window", 300});
  cases.push_back({"demo/sdl/trace", kTracedFrames});
  return cases;
}

// A run's line in the reference, after its name: frames run, stopped on a bad
// opcode, the hash with the state after the run folded in, then the chain
// after every kEvery frames.
std::vector<std::string> RunCase(const std::string& name, int nFrames) {
  std::istringstream parts(name);
  std::string strRom, engine;
  std::getline(parts, strRom, '/'), std::getline(parts, engine, '/');
  const bool bWindow = name.ends_with("/window"), bTrace = name.ends_with("/trace");
  const bool bDebugView = bWindow || name.ends_with("/debug");
  CInputScript script;
  std::string error;
  EXPECT_TRUE(script.Parse(strRom == "demo" ? kDemoInput : "", error)) << error;
  SNesRig rig(EngineSettingName(engine));
  const std::string path = std::string(TOLVAR_ROM_DIR) + "/" + strRom + ".nes";
  if (!rig.rom.Load(path) || !rig.nes->LoadRom(&rig.rom)) return {"cannot load " + path};
  if (bDebugView) rig.nes->Engine()->ToggleDebugView();

  char* pTraceText = nullptr;
  std::size_t nTraceSize = 0, nTraceHashed = 0;
  std::FILE* pTrace = bTrace ? open_memstream(&pTraceText, &nTraceSize) : nullptr;
  std::unique_ptr<CTraceWriter> tracer;
  if (pTrace) rig.nes->Cpu()->SetTracer((tracer = std::make_unique<CTraceWriter>(pTrace)).get());

  auto applyInput = [&](int nFrame) {
    if (script.Empty()) return;
    bool held[CInput::kButtonCount] = {};
    for (int b : script.ButtonsAt(nFrame)) held[b] = true;
    for (int b = 0; b < CInput::kButtonCount; ++b)
      rig.keyboard.SetKey(
          rig.settings.GetInt("Input", CInput::kButtonNames[b], CInput::kDefaultKeyCodes[b]),
          held[b] ? 0x80 : 0);
  };

  SHash h;
  std::size_t nMessages = 0;
  SImage picture;
  auto hashState = [&] {
    const CCpu& cpu = *rig.nes->Cpu();
    h.Ints({cpu.m_A, cpu.m_X, cpu.m_Y, cpu.m_PC, cpu.m_P, cpu.m_SP, cpu.m_bCarry, cpu.m_bZero,
            cpu.m_bInterrupt, cpu.m_bDecimal, cpu.m_bBreak, cpu.m_bBit5, cpu.m_bOverflow,
            cpu.m_bNegative});
    const CPpu& ppu = *rig.nes->Ppu();
    h.Ints({ppu.m_nFineY, ppu.m_nFineX, ppu.m_bFullScreen, ppu.m_bVertical, ppu.m_Control,
            ppu.m_Mask, ppu.m_Status, ppu.m_SpriteAddr, ppu.m_TempAddr, ppu.m_VramAddr,
            ppu.m_ReadBuffer, CPpu::WriteToggle()});
    h.Block(ppu.m_Vram), h.Block(ppu.m_SpriteRam), h.Block(ppu.m_SpritePalette);
    h.Block(ppu.m_BgPalette), h.Block(rig.nes->Ram()->m_data);
    if (auto* pMapper0 = dynamic_cast<CMapper0*>(rig.nes->Memory()->m_pMapper))
      h.Block(pMapper0->m_Sram);
    h.Ints({rig.nes->m_nScanline, rig.nes->m_nCycles, static_cast<int>(rig.nes->m_nFrameCount)});
    for (const auto& messages = rig.messages.Messages(); nMessages < messages.size(); ++nMessages)
      h.Add(messages[nMessages].data(), messages[nMessages].size());
    if (auto* pCapture = dynamic_cast<IScreenCapture*>(rig.nes->Engine())) {
      const bool bShown =
          bWindow ? pCapture->CaptureWindow(picture) : pCapture->CapturePicture(picture);
      h.Block(bShown);
      if (bShown) h.Add(picture.pixels.data(), picture.pixels.size() * sizeof(picture.pixels[0]));
      // The DirectX engine's window shows that same picture at (3, 3).
      const SPoint at = rig.display.ClientToScreen({3, 3});
      for (int i = 0; bShown && engine == "directx" && i < 256 * 240; ++i)
        if (ColorRefToRgb(
                rig.display.DisplayMemory()[(at.y + i / 256) * rig.display.DisplayWidth() + at.x +
                                            i % 256]) != picture.pixels[i])
          return ADD_FAILURE() << "the window shows another picture, frame " << rig.pump.m_nPumps;
    }
    if (pTrace) {
      std::fflush(pTrace);
      h.Add(pTraceText + nTraceHashed, nTraceSize - nTraceHashed);
      nTraceHashed = nTraceSize;
    }
  };
  std::vector<std::string> words(3);  // frames run, bad opcode, final hash, checkpoints
  auto hex = [&] {
    char text[20];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(h.h));
    return std::string(text);
  };
  rig.pump.m_onPump = [&](int nFrame) {
    hashState();
    if (nFrame % kEvery == 0) words.push_back(hex());
    if (nFrame >= nFrames)
      rig.nes->Stop();
    else
      applyInput(nFrame + 1);
  };
  applyInput(1);
  rig.nes->Run();
  hashState();
  rig.nes->Cpu()->SetTracer(nullptr);
  if (pTrace) std::fclose(pTrace);
  std::free(pTraceText);
  words[0] = std::to_string(rig.pump.m_nPumps);
  words[1] = std::to_string(rig.nes->StoppedOnBadOpcode());
  words[2] = hex();
  return words;
}

const std::string kReference = std::string(TOLVAR_GOLDEN_DIR) + "/frame_states.txt";

bool EnvIs(const char* pszName) {
  const char* p = std::getenv(pszName);
  return p && std::string_view(p) == "1";
}

class FrameStates : public ::testing::TestWithParam<SCase> {};

TEST_P(FrameStates, MatchRecordedRun) {
  const std::string& name = GetParam().strName;
  if (EnvIs("TOLVAR_UPDATE_FRAME_STATES")) GTEST_SKIP() << "recording, not comparing";
  std::map<std::string, std::vector<std::string>> reference;
  std::ifstream file(kReference);
  for (std::string line, name, word; std::getline(file, line);) {
    std::istringstream words(line);
    for (words >> name; words >> word;) reference[name].push_back(word);
  }
  std::vector<std::string> recorded = reference[name.substr(0, name.find("/debug"))];
  ASSERT_GE(recorded.size(), 3u) << "no recorded run " << name;
  const int nFrames =
      std::min(std::stoi(recorded[0]),
               EnvIs("TOLVAR_FRAME_STATES_FULL") ? RecordedFrames(name) : GetParam().nSuiteFrames);
  std::vector<std::string> words = RunCase(name, nFrames);
  // A prefix compares the frames run and the checkpoints passed; a run to the
  // recording's end, the final hash too.
  if (std::to_string(nFrames) != recorded[0]) {
    recorded.resize(3 + nFrames / kEvery);
    recorded[0] = std::to_string(nFrames);
    for (auto* v : {&recorded, &words}) v->erase(v->begin() + 1, v->begin() + 3);
  }
  EXPECT_EQ(words, recorded) << name << ": frames run, then one hash every " << kEvery;
}

INSTANTIATE_TEST_SUITE_P(Programs, FrameStates, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SCase>& info) {
                           std::string name = info.param.strName;
                           std::replace(name.begin(), name.end(), '/', '_');
                           return name;
                         });

TEST(FrameStatesRecording, WritesReferenceOnRequest) {
  if (!EnvIs("TOLVAR_UPDATE_FRAME_STATES")) GTEST_SKIP() << "TOLVAR_UPDATE_FRAME_STATES=1 records";
  std::ofstream file(kReference);
  for (const SCase& c : Cases()) {
    if (c.strName.ends_with("/debug")) continue;  // compared with the run without
    file << c.strName;
    for (const std::string& word : RunCase(c.strName, RecordedFrames(c.strName)))
      file << " " << word;
    file << "\n";
  }
  ASSERT_TRUE(file.good());
}
}  // namespace
