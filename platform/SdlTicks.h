#pragma once

#include "platform/Host.h"

// SDL's millisecond tick counter.
class CSdlTicks : public ITicks {
 public:
  CSdlTicks();
  // Stops SDL's timer thread, so none is left starting up as a short run exits.
  ~CSdlTicks() override;
  CSdlTicks(const CSdlTicks&) = delete;
  CSdlTicks& operator=(const CSdlTicks&) = delete;
  DWORD GetTicks() override;
};
