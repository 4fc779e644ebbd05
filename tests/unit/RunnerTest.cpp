#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/NesRig.h"

namespace {
namespace fs = std::filesystem;

// ctest runs cases side by side in separate processes: the process id keeps
// their files apart.
const fs::path kDir = fs::temp_directory_path() / ("tolvar_runner_" + std::to_string(getpid()));

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::string WriteFile(const std::string& name, const std::vector<BYTE>& bytes) {
  std::ofstream(kDir / name, std::ios::binary) << std::string(bytes.begin(), bytes.end());
  return (kDir / name).string();
}

// The runner program as a user runs it: exit code, standard output, errors.
struct SRun {
  int nExit;
  std::string strOut, strErr;
};
SRun RunProgram(const std::string& args) {
  const std::string command = std::string(TOLVAR_RUNNER) + " " + args + " >" +
                              (kDir / "out").string() + " 2>" + (kDir / "err").string();
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(kDir / "out"),
          ReadFile(kDir / "err")};
}
}  // namespace

TEST(RunnerProgram, ExitCodesTraceAndDump) {
  fs::create_directories(kDir);
  // At 0x9000: LDA #$5A; STA $6000; LDX #$07; STX $0001; JMP to itself.
  const std::string rom =
      WriteFile("store.nes", MakeProgram({0x02}, 0,
                                         {{0x9000,
                                           {0xA9, 0x5A, 0x8D, 0x00, 0x60, 0xA2, 0x07, 0x8E, 0x01,
                                            0x00, 0x4C, 0x0A, 0x90}}}));
  const fs::path trace = kDir / "trace.txt";
  SRun run = RunProgram("--frames 30 --start-pc 9000 --dump 6000:2 --dump 0000-0001 --trace " +
                        trace.string() + " " + rom);
  ASSERT_EQ(run.nExit, 0) << run.strErr;
  EXPECT_NE(run.strOut.find("6000: 5A 00"), std::string::npos) << run.strOut;
  EXPECT_NE(run.strOut.find("0000: 00 07"), std::string::npos);
  // The trace's format is checked by the frame-state test's traced runs.
  EXPECT_EQ(ReadFile(trace).rfind("9000  A9 5A     LDA  A:00 X:00 Y:00 P:20 SP:01FF CYC:0\n", 0),
            0u);

  run = RunProgram("--frames 3 " + rom);  // the reset vector leads to opcode 02
  EXPECT_EQ(run.nExit, 1);
  EXPECT_NE(run.strErr.find("Bad Opcode Encountered..."), std::string::npos) << run.strErr;

  // Refused before a frame runs, each with its reason.
  const std::pair<std::string, std::string> refused[] = {
      {"/nonexistent/game.nes", "is not a usable iNES image"},
      {WriteFile("m5.nes", MakeProgram({0x02}, 5)), "uses mapper 5"},
      {"--frames -1 " + rom, "--frames needs"},
      {"--dump 0000-FFFFF " + rom, "--dump needs"},
      {"--engine gl " + rom, "--engine must be"},
      {"--input /nonexistent/pad.txt " + rom, "cannot read input script"}};
  for (const auto& [args, reason] : refused) {
    run = RunProgram(args);
    EXPECT_EQ(run.nExit, 2) << args << ": " << run.strErr;
    EXPECT_NE(run.strErr.find(reason), std::string::npos) << args << ": " << run.strErr;
  }
  fs::remove_all(kDir);
}
