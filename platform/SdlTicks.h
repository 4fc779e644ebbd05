#pragma once

#include "platform/Host.h"

// SDL's millisecond tick counter.
class CSdlTicks : public ITicks {
 public:
  CSdlTicks();
  DWORD GetTicks() override;
};
