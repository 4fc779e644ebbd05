#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "video/GraphicEngine.h"

// Test double: records every engine call as a short text, e.g.
// "UpdatePattern(0x0123)", "ClearScreen(1,2,3)", "DrawSprites(1)".
class CRecordingEngine : public CGraphicEngine {
 public:
  using CGraphicEngine::CGraphicEngine;

  void Init() override { Record("Init()"); }
  void Shutdown() override { Record("Shutdown()"); }
  void DrawScanline(BYTE line) override { Record("DrawScanline(" + std::to_string(line) + ")"); }
  void DrawPalettes() override { Record("DrawPalettes()"); }
  void DrawPatternTables() override { Record("DrawPatternTables()"); }
  void DrawSprites(BYTE front) override { Record("DrawSprites(" + std::to_string(front) + ")"); }
  void ToggleFullScreen() override { Record("ToggleFullScreen()"); }
  void ToggleDebugView() override { Record("ToggleDebugView()"); }
  void UpdatePattern(WORD addr) override {
    ++m_nPatternUpdates;
    m_lastPatternAddr = addr;
    if (m_bRecordPatterns) Record("UpdatePattern(" + Hex(addr) + ")");
  }
  void UpdateNameTable(WORD addr) override { Record("UpdateNameTable(" + Hex(addr) + ")"); }
  void UpdateBgPalette(BYTE index) override {
    Record("UpdateBgPalette(" + std::to_string(index) + ")");
  }
  void UpdateSpritePalette(BYTE index) override {
    Record("UpdateSpritePalette(" + std::to_string(index) + ")");
  }
  void EndFrame() override { Record("EndFrame()"); }
  void ClearScreen(BYTE r, BYTE g, BYTE b) override {
    Record("ClearScreen(" + std::to_string(r) + "," + std::to_string(g) + "," +
           std::to_string(b) + ")");
  }

  static std::string Hex(WORD v) {
    char buf[8];
    std::snprintf(buf, sizeof(buf), "0x%04X", v);
    return buf;
  }

  std::vector<std::string> m_calls;
  int m_nPatternUpdates = 0;
  int m_lastPatternAddr = -1;
  // Pattern updates come 8192 at a time; counted always, listed on request.
  bool m_bRecordPatterns = false;

 private:
  void Record(std::string call) { m_calls.push_back(std::move(call)); }
};
