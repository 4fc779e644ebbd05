#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Host.h"

// Test doubles and quiet stand-ins for the small host services.

// A clock that advances only when told to.
class CManualTicks : public ITicks {
 public:
  DWORD GetTicks() override {
    const DWORD t = m_dwNow;
    m_dwNow += m_dwStepPerRead;
    return t;
  }
  DWORD m_dwNow = 0;
  DWORD m_dwStepPerRead = 0;
};

// Counts pumps and runs an optional action on each (to play a menu command
// between two frames).
class CScriptedEventPump : public IEventPump {
 public:
  void PumpPendingEvents() override {
    ++m_nPumps;
    if (m_onPump) m_onPump(m_nPumps);
  }
  int m_nPumps = 0;
  std::function<void(int)> m_onPump;
};

class CRecordingStatusText : public IStatusText {
 public:
  void SetPaneText(int nPane, const std::string& strText) override {
    m_texts.push_back({nPane, strText});
  }
  struct SEntry {
    int nPane;
    std::string strText;
  };
  std::vector<SEntry> m_texts;
};
