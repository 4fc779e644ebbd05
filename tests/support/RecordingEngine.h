#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "video/GraphicEngine.h"

// Test double: records every engine call as a short text, e.g.
// "UpdateNameTable(0x2123)", "ClearScreen(1,2,3)", "DrawSprites(1)". Pattern
// updates come 8192 at a time and are only counted.
class CRecordingEngine : public CGraphicEngine {
 public:
  using CGraphicEngine::CGraphicEngine;

  void Init() override { Record("Init"); }
  void Shutdown() override { Record("Shutdown"); }
  void DrawScanline(BYTE line) override { Record("DrawScanline", line); }
  void DrawPalettes() override { Record("DrawPalettes"); }
  void DrawPatternTables() override { Record("DrawPatternTables"); }
  void DrawSprites(BYTE front) override { Record("DrawSprites", front); }
  void ToggleFullScreen() override { Record("ToggleFullScreen"); }
  void ToggleDebugView() override { Record("ToggleDebugView"); }
  void UpdatePattern(WORD addr) override { ++m_nPatternUpdates, m_lastPatternAddr = addr; }
  void UpdateNameTable(WORD addr) override {
    m_calls.push_back("UpdateNameTable(" + Hex(addr) + ")");
  }
  void UpdateBgPalette(BYTE index) override { Record("UpdateBgPalette", index); }
  void UpdateSpritePalette(BYTE index) override { Record("UpdateSpritePalette", index); }
  void EndFrame() override { Record("EndFrame"); }
  void ClearScreen(BYTE r, BYTE g, BYTE b) override { Record("ClearScreen", r, g, b); }

  static std::string Hex(WORD v) {
    char buf[8];
    return std::string(buf, std::snprintf(buf, sizeof(buf), "0x%04X", v));
  }

  std::vector<std::string> m_calls;
  int m_nPatternUpdates = 0, m_lastPatternAddr = -1;

 private:
  // "Name(a,b)", the arguments in decimal.
  template <class... T>
  void Record(const char* pszName, T... args) {
    std::string text = std::string(pszName) + "(";
    for (int n : std::initializer_list<int>{args...}) text += std::to_string(n) + ",";
    if (text.back() == ',') text.pop_back();
    m_calls.push_back(text + ")");
  }
};
