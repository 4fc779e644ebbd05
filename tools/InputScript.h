#pragma once

#include <string>
#include <vector>

// Controller input for the runner: from each listed frame on, the listed
// buttons are held until the next line. Frames count from 1.
class CInputScript {
 public:
  // Parses "FRAME BUTTON..." lines; '#' starts a comment. False with a
  // message naming the line for anything else.
  bool Parse(const std::string& strText, std::string& strError);
  // Button indices (CInput order) held during nFrame.
  const std::vector<int>& ButtonsAt(int nFrame) const;
  bool Empty() const { return m_steps.empty(); }

 private:
  struct SStep {
    int nFrame;
    std::vector<int> buttons;
  };
  std::vector<SStep> m_steps;
};
