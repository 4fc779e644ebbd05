#include "tools/InputScript.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "input/Input.h"

bool CInputScript::Parse(const std::string& strText, std::string& strError) {
  m_steps.clear();
  std::istringstream lines(strText);
  std::string line;
  int nLine = 0;
  while (std::getline(lines, line)) {
    ++nLine;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    SStep step;
    char* end = nullptr;
    const long frame = std::strtol(word.c_str(), &end, 10);
    if (*end != '\0' || frame < 1 || frame > 100000000) {
      strError = "input line " + std::to_string(nLine) + ": \"" + word + "\" is not a frame number";
      return false;
    }
    step.nFrame = static_cast<int>(frame);
    while (words >> word) {
      const auto* names = CInput::kButtonNames;
      const auto* it = std::find_if(names, names + CInput::kButtonCount, [&](const char* name) {
        return std::string_view(name) == word;
      });
      if (it == names + CInput::kButtonCount) {
        strError = "input line " + std::to_string(nLine) + ": unknown button \"" + word + "\"";
        return false;
      }
      step.buttons.push_back(static_cast<int>(it - names));
    }
    m_steps.push_back(step);
  }
  std::stable_sort(m_steps.begin(), m_steps.end(),
                   [](const SStep& a, const SStep& b) { return a.nFrame < b.nFrame; });
  return true;
}

const std::vector<int>& CInputScript::ButtonsAt(int nFrame) const {
  static const std::vector<int> none;
  const std::vector<int>* held = &none;
  for (const SStep& step : m_steps) {
    if (step.nFrame > nFrame) break;
    held = &step.buttons;
  }
  return *held;
}
