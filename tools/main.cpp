#include <cstdio>
#include <string>

#include "tools/HeadlessRunner.h"
#include "tools/RunnerOptions.h"
#include "tools/SanitizerDefaults.h"

int main(int argc, char** argv) {
  SRunnerOptions options;
  std::string error;
  if (!ParseRunnerOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "tolvar-run: %s\n%s", error.c_str(), RunnerUsage());
    return 2;
  }
  if (options.bHelp) {
    std::fputs(RunnerUsage(), stdout);
    return 0;
  }
  return RunHeadless(options, stdout, stderr);
}
