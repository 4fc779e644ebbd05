#pragma once

#include <string>
#include <vector>

#include "video/GraphicEngine.h"

// Test double: records the engine calls that tests look at as short texts,
// e.g. "Init()", "UpdateNameTable(8483)", "UpdateBgPalette(4)", the argument
// in decimal. Pattern updates come 8192 at a time and are only counted;
// drawing calls are not recorded (the pictures and the frame-state hashes
// check what is drawn).
class CRecordingEngine : public CGraphicEngine {
 public:
  using CGraphicEngine::CGraphicEngine;

  void Init() override { m_calls.push_back("Init()"); }
  void Shutdown() override { m_calls.push_back("Shutdown()"); }
  void ToggleFullScreen() override { m_calls.push_back("ToggleFullScreen()"); }
  void EndFrame() override { m_calls.push_back("EndFrame()"); }
  void UpdatePattern(WORD) override { ++m_nPatternUpdates; }
  void UpdateNameTable(WORD addr) override { Record("UpdateNameTable(", addr); }
  void UpdateBgPalette(BYTE i) override { Record("UpdateBgPalette(", i); }
  void UpdateSpritePalette(BYTE i) override { Record("UpdateSpritePalette(", i); }

  std::vector<std::string> m_calls;
  int m_nPatternUpdates = 0;

 private:
  void Record(std::string text, int n) {
    text += std::to_string(n);
    m_calls.push_back(text + ")");
  }
};
