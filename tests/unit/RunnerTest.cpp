#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/NesRig.h"
#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"

namespace {
bool Parse(std::vector<const char*> args, SRunnerOptions& options, std::string& error) {
  args.insert(args.begin(), "tolvar-run");
  return ParseRunnerOptions(static_cast<int>(args.size()), args.data(), options, error);
}

struct SRunResult {
  int nExitCode = -1;
  std::string strOut;
  std::string strErr;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// ctest runs the cases side by side in separate processes: the process id
// keeps their files apart.
std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("tolvar_runnertest_" + std::to_string(getpid()) + "_" + name);
}

void WriteFile(const std::filesystem::path& path, const std::vector<BYTE>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs the installed runner binary as a user would.
SRunResult RunRunner(const std::string& args) {
  const auto out = TempPath("stdout.txt");
  const auto err = TempPath("stderr.txt");
  const std::string command = std::string(TOLVAR_RUNNER) + " " + args + " >" + out.string() +
                              " 2>" + err.string();
  const int status = std::system(command.c_str());
  SRunResult result;
  result.nExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.strOut = ReadFile(out);
  result.strErr = ReadFile(err);
  return result;
}
}  // namespace

TEST(RunnerOptions, ParsesEveryOption) {
  SRunnerOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--frames", "120", "--engine", "null", "--start-pc", "C000", "--dump",
                     "6000-600F", "--dump", "0000:10", "--trace", "-", "game.nes"},
                    o, error))
      << error;
  EXPECT_EQ(o.nFrames, 120);
  EXPECT_EQ(o.nStartPc, 0xC000);
  ASSERT_EQ(o.dumps.size(), 2u);
  EXPECT_EQ(o.dumps[0].nLast, 0x600F);
  EXPECT_EQ(o.dumps[1].nLast, 0x000F);
  EXPECT_EQ(o.strTracePath, "-");
  EXPECT_EQ(o.strRomPath, "game.nes");
  SRunnerOptions dollar;
  ASSERT_TRUE(Parse({"--start-pc", "$8000", "x.nes"}, dollar, error)) << error;
  EXPECT_EQ(dollar.nStartPc, 0x8000);
}

TEST(RunnerOptions, RefusesBadArgumentsWithAReason) {
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"--frames", "ten", "a.nes"},
      {"--frames", "-1", "a.nes"},
      {"--engine", "opengl", "a.nes"},
      {"--start-pc", "10000", "a.nes"},
      {"--dump", "7000-6000", "a.nes"},
      {"--dump", "FFFF:2", "a.nes"},
      {"--bogus", "a.nes"},
      {"a.nes", "b.nes"},
      {"a.nes", "--frames"},
  };
  for (const auto& args : bad) {
    SRunnerOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << (args.empty() ? "(none)" : args[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(InputScript, HoldsButtonsFromTheirFrameUntilTheNextLine) {
  CInputScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("# walk right, then jump\n10 Right\n40 Right A\n\n60\n", error)) << error;
  EXPECT_TRUE(script.ButtonsAt(9).empty());
  EXPECT_EQ(script.ButtonsAt(10), std::vector<int>{7});
  EXPECT_EQ(script.ButtonsAt(59), (std::vector<int>{7, 0}));
  EXPECT_TRUE(script.ButtonsAt(60).empty());
  EXPECT_FALSE(script.Parse("10 Jump\n", error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  EXPECT_FALSE(script.Parse("x A\n", error));
}

TEST(RunnerBinary, RunsFramesAndPrintsTheRate) {
  const auto rom = TempPath("idle.nes");
  WriteFile(rom, MakeProgram({0x4C, 0x00, 0x80}));
  const auto result = RunRunner("--frames 30 " + rom.string());
  EXPECT_EQ(result.nExitCode, 0) << result.strErr;
  EXPECT_NE(result.strOut.find("frames: 30\n"), std::string::npos) << result.strOut;
  EXPECT_NE(result.strOut.find("fps: "), std::string::npos);
}

TEST(RunnerBinary, BadOpcodeExitsOneWithTheMessage) {
  const auto rom = TempPath("bad.nes");
  WriteFile(rom, MakeProgram({0xEA, 0xEA, 0xFF}));
  const auto result = RunRunner("--frames 30 " + rom.string());
  EXPECT_EQ(result.nExitCode, 1);
  EXPECT_NE(result.strErr.find("Bad Opcode Encountered..."), std::string::npos) << result.strErr;
}

TEST(RunnerBinary, RefusedFilesAndArgumentsExitTwo) {
  const auto text = TempPath("notes.nes");
  std::ofstream(text) << "these are not the bytes of a cartridge\n";
  auto result = RunRunner(text.string());
  EXPECT_EQ(result.nExitCode, 2);
  EXPECT_NE(result.strErr.find("not a usable iNES image"), std::string::npos) << result.strErr;

  result = RunRunner("/nonexistent/game.nes");
  EXPECT_EQ(result.nExitCode, 2);

  const auto mapper5 = TempPath("mapper5.nes");
  WriteFile(mapper5, MakeProgram({0x4C, 0x00, 0x80}, 0x8000, 0x8000, 0x8000, 5));
  result = RunRunner(mapper5.string());
  EXPECT_EQ(result.nExitCode, 2);
  EXPECT_NE(result.strErr.find("This mapper is currently unsupported."), std::string::npos);

  result = RunRunner("--frames many x.nes");
  EXPECT_EQ(result.nExitCode, 2);
  EXPECT_NE(result.strErr.find("usage:"), std::string::npos);
}

TEST(RunnerBinary, TraceStartPcAndDumpShowTheProgram) {
  const auto rom = TempPath("store.nes");
  // At 0x9000: LDA #$5A; STA $6000; LDX #$07; STX $0001; then JMP to itself.
  WriteFile(rom, MakeProgram({0x02}, 0x8000, 0x8000, 0x8000, 0,
                             {{0x9000, {0xA9, 0x5A, 0x8D, 0x00, 0x60, 0xA2, 0x07, 0x8E, 0x01,
                                        0x00, 0x4C, 0x0A, 0x90}}}));
  const auto trace = TempPath("trace.txt");
  const auto result = RunRunner("--frames 1 --start-pc 9000 --dump 6000:2 --dump 0000-0001 --trace " +
                                trace.string() + " " + rom.string());
  ASSERT_EQ(result.nExitCode, 0) << result.strErr;
  EXPECT_NE(result.strOut.find("6000: 5A 00"), std::string::npos) << result.strOut;
  EXPECT_NE(result.strOut.find("0000: 00 07"), std::string::npos) << result.strOut;
  const std::string lines = ReadFile(trace);
  EXPECT_EQ(lines.rfind("9000  A9 5A     LDA  A:00 X:00 Y:00 P:20 SP:01FF CYC:0\n", 0), 0u)
      << lines.substr(0, 200);
  EXPECT_NE(lines.find("9002  8D 00 60  STA  A:5A X:00 Y:00 P:20 SP:01FF CYC:2\n"),
            std::string::npos);
}
