#include "platform/SoftDirectDraw.h"

#include <cstdio>
#include <utility>

#include "platform/SoftSurface.h"

bool SSoftDirectDrawState::Fails(EDirectDrawStep step) {
  auto it = faults.find(step);
  if (it == faults.end()) return false;
  if (it->second.bEveryCall) return true;
  if (--it->second.nCallsLeft > 0) return false;
  faults.erase(it);
  return true;
}

void SSoftDirectDrawState::Log(std::string strCall, bool bFailed) {
  if (bFailed) strCall += " failed";
  log.push_back(std::move(strCall));
}

namespace {
// Larger surfaces are refused as out of memory.
constexpr DWORD kMaxSurfaceSide = 16384;

class CSoftDirectDraw final : public IDirectDraw {
 public:
  CSoftDirectDraw(IPresentationTarget& display, std::shared_ptr<SSoftDirectDrawState> pState)
      : m_display(display), m_pState(std::move(pState)) {
    ++m_pState->nLiveObjects;
  }

  DWORD AddRef() override { return ++m_nRefs; }
  DWORD Release() override {
    const DWORD nLeft = --m_nRefs;
    if (nLeft == 0) delete this;
    return nLeft;
  }

  HRESULT SetCooperativeLevel(DWORD dwFlags) override {
    char text[40];
    std::snprintf(text, sizeof(text), "SetCooperativeLevel(0x%02X)",
                  static_cast<unsigned>(dwFlags));
    const bool bExclusive = (dwFlags & DDSCL_EXCLUSIVE) != 0;
    // Exclusive goes with full screen and never with normal, and one of the two is needed.
    const bool bValid = bExclusive ? (dwFlags & DDSCL_FULLSCREEN) && !(dwFlags & DDSCL_NORMAL)
                                   : (dwFlags & DDSCL_NORMAL) && !(dwFlags & DDSCL_FULLSCREEN);
    if (!bValid) {
      m_pState->Log(text, true);
      return DDERR_INVALIDPARAMS;
    }
    if (m_pState->Fails(bExclusive ? EDirectDrawStep::CooperativeFullScreen
                                   : EDirectDrawStep::CooperativeWindowed)) {
      m_pState->Log(text, true);
      return DDERR_GENERIC;
    }
    m_pState->Log(text, false);
    m_bFullScreen = bExclusive;
    return DD_OK;
  }

  HRESULT CreateSurface(const SSurfaceDesc* pDesc, IDirectDrawSurface** ppSurface) override {
    if (!ppSurface) return DDERR_INVALIDPARAMS;
    *ppSurface = nullptr;
    if (!pDesc || pDesc->dwSize != sizeof(SSurfaceDesc)) {
      m_pState->Log("CreateSurface", true);
      return DDERR_INVALIDPARAMS;
    }
    const DWORD dwCaps = (pDesc->dwFlags & DDSD_CAPS) ? pDesc->dwCaps : 0;
    if (dwCaps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(*pDesc, dwCaps, ppSurface);
    return CreateOffscreen(*pDesc, ppSurface);
  }

 private:
  ~CSoftDirectDraw() override { --m_pState->nLiveObjects; }

  HRESULT CreatePrimary(const SSurfaceDesc& desc, DWORD dwCaps, IDirectDrawSurface** ppSurface) {
    const bool bChain = (dwCaps & DDSCAPS_FLIP) != 0;
    const char* pCall = bChain ? "CreatePrimary(flip 1)" : "CreatePrimary";
    if (bChain) {
      // A flip chain needs the complex flag and a back buffer count; one is all it keeps.
      if (!(dwCaps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) ||
          desc.dwBackBufferCount != 1) {
        m_pState->Log(pCall, true);
        return desc.dwBackBufferCount > 1 ? DDERR_UNSUPPORTED : DDERR_INVALIDPARAMS;
      }
    }
    // The primary is the display and takes its size from it.
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) {
      m_pState->Log(pCall, true);
      return DDERR_INVALIDPARAMS;
    }
    if (m_pState->Fails(EDirectDrawStep::CreatePrimary)) {
      m_pState->Log(pCall, true);
      return DDERR_GENERIC;
    }
    m_pState->Log(pCall, false);
    const int w = m_display.DisplayWidth(), h = m_display.DisplayHeight();
    // A flip chain's buffers take turns at being the display: they keep their
    // own pixels. A lone primary is the display's memory, as it finds it.
    auto* pPrimary = new CSoftSurface(w, h, m_pState, &m_display, m_bFullScreen,
                                      bChain ? nullptr : m_display.DisplayMemory());
    if (bChain) pPrimary->AttachBackBuffer(new CSoftSurface(w, h, m_pState));
    *ppSurface = pPrimary;
    return DD_OK;
  }

  HRESULT CreateOffscreen(const SSurfaceDesc& desc, IDirectDrawSurface** ppSurface) {
    char text[48];
    std::snprintf(text, sizeof(text), "CreateOffscreen(%ux%u)", static_cast<unsigned>(desc.dwWidth),
                  static_cast<unsigned>(desc.dwHeight));
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
        desc.dwWidth == 0 || desc.dwHeight == 0) {
      m_pState->Log(text, true);
      return DDERR_INVALIDPARAMS;
    }
    if (desc.dwWidth > kMaxSurfaceSide || desc.dwHeight > kMaxSurfaceSide) {
      m_pState->Log(text, true);
      return DDERR_OUTOFMEMORY;
    }
    if (m_pState->Fails(EDirectDrawStep::CreateOffscreen)) {
      m_pState->Log(text, true);
      return DDERR_GENERIC;
    }
    m_pState->Log(text, false);
    *ppSurface =
        new CSoftSurface(static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), m_pState);
    return DD_OK;
  }

  IPresentationTarget& m_display;
  std::shared_ptr<SSoftDirectDrawState> m_pState;
  bool m_bFullScreen = false;
  DWORD m_nRefs = 1;
};
}  // namespace

CSoftDirectDrawFactory::CSoftDirectDrawFactory(IPresentationTarget& target)
    : m_target(target), m_pState(std::make_shared<SSoftDirectDrawState>()) {}

HRESULT CSoftDirectDrawFactory::DirectDrawCreate(IDirectDraw** ppDirectDraw) {
  if (!ppDirectDraw) return DDERR_INVALIDPARAMS;
  *ppDirectDraw = nullptr;
  if (m_pState->Fails(EDirectDrawStep::Create)) {
    m_pState->Log("DirectDrawCreate", true);
    return DDERR_GENERIC;
  }
  m_pState->Log("DirectDrawCreate", false);
  *ppDirectDraw = new CSoftDirectDraw(m_target, m_pState);
  return DD_OK;
}

void CSoftDirectDrawFactory::FailStep(EDirectDrawStep step, int nCall) {
  SSoftDirectDrawState::SFault& fault = m_pState->faults[step];
  fault.bEveryCall = nCall <= 0;
  fault.nCallsLeft = nCall;
}
