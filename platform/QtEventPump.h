#pragma once

#include "platform/Host.h"

// Dispatches the Qt events that are waiting (menus, dialogs, repaints, key
// presses of the main window), once a frame from the emulation loop.
class CQtEventPump : public IEventPump {
 public:
  void PumpPendingEvents() override;
};
