#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DirectDraw.h"
#include "platform/PresentationTarget.h"

// The set-up steps that a test can make fail, one call at a time.
enum class EDirectDrawStep {
  Create,                 // DirectDrawCreate
  CooperativeWindowed,    // SetCooperativeLevel without DDSCL_EXCLUSIVE
  CooperativeFullScreen,  // SetCooperativeLevel with DDSCL_EXCLUSIVE
  CreatePrimary,          // CreateSurface of a primary, with or without flip chain
  GetAttachedSurface,
  CreateOffscreen,  // CreateSurface of an off-screen surface
};

// Shared by a factory and everything it made, so that objects may outlive it.
struct SSoftDirectDrawState {
  struct SFault {
    int nCallsLeft = 0;  // fails when this reaches 0
    bool bEveryCall = false;
  };
  std::map<EDirectDrawStep, SFault> faults;
  std::vector<std::string> log;
  int nLiveObjects = 0;
  int nLiveSurfaces = 0;

  // Counts one call of the step; true when it is to fail.
  bool Fails(EDirectDrawStep step);
  void Log(std::string strCall, bool bFailed);
};

// Drawing objects in software, showing their primary surfaces on one
// presentation target.
class CSoftDirectDrawFactory : public IDirectDrawFactory {
 public:
  explicit CSoftDirectDrawFactory(IPresentationTarget& target);

  HRESULT DirectDrawCreate(IDirectDraw** ppDirectDraw) override;
  IPresentationTarget& MainWindow() override { return m_target; }

  // Makes the nCall-th call of the step from now on fail (1: the next one);
  // 0 makes every call fail until ClearFaults.
  void FailStep(EDirectDrawStep step, int nCall = 1);
  void ClearFaults() { m_pState->faults.clear(); }

  // Every set-up call made through this factory's objects, oldest first, e.g.
  // "DirectDrawCreate", "SetCooperativeLevel(0x13)", "CreatePrimary(flip 1)",
  // "GetAttachedSurface", "CreateOffscreen(256x240)"; a failed one ends in
  // " failed".
  const std::vector<std::string>& CallLog() const { return m_pState->log; }
  void ClearCallLog() { m_pState->log.clear(); }

  // Objects and surfaces not yet released, to find leaks.
  int LiveObjects() const { return m_pState->nLiveObjects; }
  int LiveSurfaces() const { return m_pState->nLiveSurfaces; }

 private:
  IPresentationTarget& m_target;
  std::shared_ptr<SSoftDirectDrawState> m_pState;
};
