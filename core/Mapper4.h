#pragma once

#include "core/Mapper.h"

class CRom;

// MMC3 boards load, but their cartridge space answers nothing.
class CMapper4 : public CMapper {
 public:
  CMapper4(CRom* /*pRom*/, CPpu* pPpu) : CMapper(pPpu) {}
};
