#pragma once

#include "platform/Types.h"

// The sound registers: they read as 0 and ignore writes. No sound is made.
class CApu {
 public:
  virtual ~CApu() = default;
  BYTE ReadRegister(WORD /*addr*/) const { return 0; }
  void WriteRegister(WORD /*addr*/, BYTE /*value*/) {}
};
