// Nothing observable may change when the emulator is made faster. Every
// test program, both benchmarks and the demo cartridge (with a scripted
// player) run on each engine, and at every frame boundary the work RAM,
// cartridge RAM, CPU registers, PPU state and picture are hashed
// (support/FrameStates.h). The chained hashes must equal the reference in
// tests/golden/frame_states.txt, which holds 3,000 frames of each run.
//
// The reference was recorded by this same test built on commit 6b52795, the
// code before the speed work, and is the behaviour the emulator keeps. The
// suite checks a prefix of each run so that it takes seconds;
// TOLVAR_FRAME_STATES_FULL=1 checks every recorded frame, and
// TOLVAR_UPDATE_FRAME_STATES=1 records the file anew (only ever from code
// whose behaviour is the one to keep).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/FrameStates.h"

namespace {
constexpr int kEvery = 100;          // frames between two recorded hashes
constexpr int kRecordedFrames = 3000;
constexpr int kTracedFrames = 30;    // trace lines are many; fewer frames of them

// The player: walks, jumps about, presses everything, and lets go.
constexpr const char* kDemoInput =
    "1\n40 Right\n160 Right A\n260 Left\n420 Up Left\n520 Up\n600 Down Right\n760 B\n"
    "800 Start\n830\n900 Select Left Down\n1100 Right\n1500 Left Up\n1800 Down\n2100 A B Right\n"
    "2400 Left\n2700\n2800 Up Right\n";

struct SCase {
  std::string strRom;
  std::string strEngine;
  bool bWindow = false;
  bool bTrace = false;
  int nSuiteFrames = 0;  // the prefix the suite checks

  std::string Name() const {
    return strRom + "/" + strEngine + (bWindow ? "/window" : "") + (bTrace ? "/trace" : "");
  }
  int RecordedFrames() const { return bTrace ? kTracedFrames : kRecordedFrames; }
};

void PrintTo(const SCase& c, std::ostream* pOut) { *pOut << c.Name(); }

bool EnvIs(const char* pszName) {
  const char* p = std::getenv(pszName);
  return p && std::string(p) == "1";
}

std::filesystem::path ReferencePath() {
  return std::filesystem::path(TOLVAR_GOLDEN_DIR) / "frame_states.txt";
}

std::vector<SCase> Cases() {
  std::vector<std::string> roms;
  for (const auto& entry : std::filesystem::directory_iterator(TOLVAR_ROM_DIR))
    if (entry.path().extension() == ".nes") roms.push_back(entry.path().stem().string());
  std::sort(roms.begin(), roms.end());
  std::vector<SCase> cases;
  for (const std::string& rom : roms) {
    const bool bDemo = rom == "demo";
    // The demo's whole recorded run on the engine that shows most; a third of
    // it on the others.
    for (const char* engine : {"null", "sdl", "directx"})
      cases.push_back({rom, engine, false, false, bDemo ? (engine[0] == 's' ? 3000 : 1000) : 200});
    cases.push_back({rom, "null", false, true, 10});
  }
  cases.push_back({"demo", "sdl", true, false, 300});
  cases.push_back({"demo", "sdl", false, true, 10});
  return cases;
}

SFrameStates RunCase(const SCase& c, int nFrames) {
  SFrameStateRun run;
  run.strRomPath = std::string(TOLVAR_ROM_DIR) + "/" + c.strRom + ".nes";
  run.strEngine = c.strEngine;
  run.nFrames = nFrames;
  run.strInput = c.strRom == "demo" ? kDemoInput : "";
  run.bDebugView = c.bWindow;
  run.bTrace = c.bTrace;
  SFrameStates states;
  std::string error;
  EXPECT_TRUE(RunFrameStates(run, kEvery, states, error)) << c.Name() << ": " << error;
  return states;
}

std::string Hex(std::uint64_t v) {
  char text[20];
  std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// One line a run: name, frames run, stopped on a bad opcode, the final hash,
// then the hash after every kEvery frames.
std::string Line(const SCase& c, const SFrameStates& s) {
  std::ostringstream line;
  line << c.Name() << " " << s.nFrames << " " << (s.bBadOpcode ? 1 : 0) << " " << Hex(s.final);
  for (std::uint64_t h : s.checkpoints) line << " " << Hex(h);
  return line.str();
}

std::map<std::string, std::vector<std::string>> ReadReference() {
  std::map<std::string, std::vector<std::string>> reference;
  std::ifstream file(ReferencePath());
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    std::string name, word;
    words >> name;
    while (words >> word) reference[name].push_back(word);
  }
  return reference;
}

class FrameStates : public ::testing::TestWithParam<SCase> {};

TEST_P(FrameStates, MatchRecordedRun) {
  const SCase& c = GetParam();
  if (EnvIs("TOLVAR_UPDATE_FRAME_STATES")) GTEST_SKIP() << "recording, not comparing";
  const auto reference = ReadReference();
  const auto it = reference.find(c.Name());
  ASSERT_NE(it, reference.end()) << "no recorded run " << c.Name() << " in "
                                 << ReferencePath().string();
  const std::vector<std::string>& rec = it->second;
  ASSERT_GE(rec.size(), 3u);
  const int nRecordedRun = std::stoi(rec[0]);

  const int nFrames = EnvIs("TOLVAR_FRAME_STATES_FULL") ? c.RecordedFrames() : c.nSuiteFrames;
  const SFrameStates s = RunCase(c, nFrames);
  // A run that ended by itself before the prefix did is compared whole.
  if (nRecordedRun < nFrames) {
    std::ostringstream recorded;
    recorded << c.Name();
    for (const std::string& w : rec) recorded << " " << w;
    EXPECT_EQ(Line(c, s), recorded.str());
    return;
  }
  ASSERT_EQ(s.nFrames, nFrames) << c.Name() << " stopped early";
  for (std::size_t i = 0; i < s.checkpoints.size(); ++i) {
    ASSERT_LT(i + 3, rec.size()) << c.Name() << ": more frames than recorded";
    ASSERT_EQ(Hex(s.checkpoints[i]), rec[i + 3])
        << c.Name() << " differs between frames " << i * kEvery << " and " << (i + 1) * kEvery;
  }
}

std::string CaseName(const ::testing::TestParamInfo<SCase>& info) {
  std::string name = info.param.Name();
  for (char& ch : name)
    if (ch == '/') ch = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Programs, FrameStates, ::testing::ValuesIn(Cases()), CaseName);

TEST(FrameStatesRecording, WritesReferenceOnRequest) {
  if (!EnvIs("TOLVAR_UPDATE_FRAME_STATES")) GTEST_SKIP() << "TOLVAR_UPDATE_FRAME_STATES=1 records";
  std::ofstream file(ReferencePath());
  for (const SCase& c : Cases()) file << Line(c, RunCase(c, c.RecordedFrames())) << "\n";
  ASSERT_TRUE(file.good());
}
}  // namespace
