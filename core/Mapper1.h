#pragma once

#include "core/Mapper.h"

class CRom;

// MMC1 boards load, but their cartridge space answers nothing.
class CMapper1 : public CMapper {
 public:
  CMapper1(CRom* /*pRom*/, CPpu* pPpu) : CMapper(pPpu) {}
};
