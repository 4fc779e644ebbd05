#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "video/GraphicEngine.h"

// Test double: records the engine calls that tests look at as short texts,
// e.g. "Init()", "UpdateNameTable(0x2123)", "UpdateBgPalette(4)". Pattern
// updates come 8192 at a time and are only counted; drawing calls are not
// recorded (the pictures and the frame-state hashes check what is drawn).
class CRecordingEngine : public CGraphicEngine {
 public:
  using CGraphicEngine::CGraphicEngine;

  void Init() override { m_calls.push_back("Init()"); }
  void Shutdown() override { m_calls.push_back("Shutdown()"); }
  void ToggleFullScreen() override { m_calls.push_back("ToggleFullScreen()"); }
  void EndFrame() override { m_calls.push_back("EndFrame()"); }
  void UpdatePattern(WORD) override { ++m_nPatternUpdates; }
  void UpdateNameTable(WORD addr) override {
    m_calls.push_back("UpdateNameTable(" + Hex(addr) + ")");
  }
  void UpdateBgPalette(BYTE i) override {
    m_calls.push_back("UpdateBgPalette(" + std::to_string(i) + ")");
  }
  void UpdateSpritePalette(BYTE i) override {
    m_calls.push_back("UpdateSpritePalette(" + std::to_string(i) + ")");
  }

  static std::string Hex(WORD v) {
    char buf[8];
    return std::string(buf, std::snprintf(buf, sizeof(buf), "0x%04X", v));
  }

  std::vector<std::string> m_calls;
  int m_nPatternUpdates = 0;
};
