#pragma once

#include "video/GraphicEngine.h"

// Draws nothing; the machine still counts lines, raises NMIs and pumps events.
class CNullEngine : public CGraphicEngine {
 public:
  CNullEngine() = default;
  explicit CNullEngine(CPpu* pPpu) : CGraphicEngine(pPpu) {}
  // Not one empty call per byte of a bank switch.
  void UpdatePatterns(WORD /*first*/, int /*nCount*/) override {}
  bool DrawsScanlines() const override { return false; }
};
