// libFuzzer target: the runner's option parsing and its input-script
// parser. The bytes are split at zero bytes into command-line words; the
// whole input is also read as an input script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/InputScript.h"
#include "tools/RunnerOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string text(reinterpret_cast<const char*>(pData), nSize);
  std::vector<std::string> words = {"tolvar-run"};
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
    words.push_back(text.substr(start, (end = text.find('\0', start)) - start));
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());

  SRunnerOptions options;
  std::string error;
  ParseRunnerOptions(static_cast<int>(argv.size()), argv.data(), options, error);

  CInputScript script;
  if (script.Parse(text, error)) {
    for (int frame : {0, 1, 2, 1000, 100000001}) script.ButtonsAt(frame);
  }
  return 0;
}
