#pragma once

#include "platform/Types.h"
#include <string>

// Millisecond tick counter.
class ITicks {
 public:
  virtual ~ITicks() = default;
  virtual DWORD GetTicks() = 0;
};

// Dispatches every pending user-interface event; called once per frame by
// the emulation loop and nowhere else inside it.
class IEventPump {
 public:
  virtual ~IEventPump() = default;
  virtual void PumpPendingEvents() = 0;
};

// The main window's status bar panes.
class IStatusText {
 public:
  virtual ~IStatusText() = default;
  virtual void SetPaneText(int nPane, const std::string& strText) = 0;
};
