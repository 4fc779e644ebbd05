#pragma once

#include "platform/Types.h"

class CPpu;

// Turns the PPU's memory into a picture. The PPU tells the engine about every
// change of picture memory; the loop asks it for each visible line and, at
// vertical blank, for sprites, presentation and clearing. Every operation of
// the base class does nothing, which is the whole NULL engine.
class CGraphicEngine {
 public:
  CGraphicEngine() = default;
  explicit CGraphicEngine(CPpu* pPpu) : m_pPpu(pPpu) {}
  virtual ~CGraphicEngine() = default;

  virtual void Init() {}
  virtual void Shutdown() {}
  virtual void DrawScanline(BYTE /*line*/) {}
  // False when DrawScanline does nothing, so the loop need not call it.
  virtual bool DrawsScanlines() const { return true; }
  virtual void DrawPalettes() {}
  virtual void DrawPatternTables() {}
  virtual void DrawSprites(BYTE /*front*/) {}
  virtual void ToggleFullScreen() {}
  virtual void ToggleDebugView() {}
  virtual void UpdatePattern(WORD /*addr*/) {}
  // A block of pattern memory changed at once (a bank switch, a load): the
  // same as UpdatePattern for each byte, which an engine may do faster.
  virtual void UpdatePatterns(WORD first, int nCount) {
    for (int i = 0; i < nCount; ++i) UpdatePattern(static_cast<WORD>(first + i));
  }
  virtual void UpdateNameTable(WORD /*addr*/) {}
  virtual void UpdateBgPalette(BYTE /*index*/) {}
  virtual void UpdateSpritePalette(BYTE /*index*/) {}
  virtual void EndFrame() {}
  virtual void ClearScreen(BYTE /*r*/, BYTE /*g*/, BYTE /*b*/) {}

  // The machine sets the starting state of the debug view from the stored
  // check mark of Debug > Ppu; ToggleDebugView flips it from there.
  bool IsDebugView() const { return m_bDebugView != 0; }
  void SetDebugView(bool bOn) { m_bDebugView = bOn ? 1 : 0; }

 protected:
  CPpu* m_pPpu = nullptr;
  BYTE m_bDebugView = 0;
};
