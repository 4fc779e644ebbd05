#pragma once

#include <memory>
#include <vector>

#include "platform/SoftDirectDraw.h"

// One surface of 32-bit pixels in memory. A primary surface is the display:
// whatever is written into it is presented on its target.
class CSoftSurface final : public IDirectDrawSurface {
 public:
  // pDisplay is the target of a primary surface, null for any other;
  // pMemory, if given, the nWidth x nHeight pixels the surface draws into
  // (the display's own), which must outlive it.
  CSoftSurface(int nWidth, int nHeight, std::shared_ptr<SSoftDirectDrawState> pState,
               IPresentationTarget* pDisplay = nullptr, bool bFullScreen = false,
               DWORD* pMemory = nullptr);

  DWORD AddRef() override { return ++m_nRefs; }
  DWORD Release() override;
  HRESULT GetAttachedSurface(DWORD dwCaps, IDirectDrawSurface** ppSurface) override;
  HRESULT Blt(const SRect* pDestRect, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
              DWORD dwFlags, const SBltFx* pFx) override;
  HRESULT BltFast(int x, int y, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
                  DWORD dwTrans) override;
  HRESULT Flip(IDirectDrawSurface* pOverride, DWORD dwFlags) override;
  HRESULT SetPixel(int x, int y, DWORD colorRef) override;
  HRESULT Lock(SSurfacePixels& pixels) override;
  void Unlock() override {}

  // Makes pBack this primary's back buffer; takes over one reference.
  void AttachBackBuffer(CSoftSurface* pBack) { m_pBackBuffer = pBack; }

 private:
  ~CSoftSurface() override;

  SRect Whole() const { return {0, 0, m_nWidth, m_nHeight}; }
  DWORD* Row(int y) { return m_pPixels + static_cast<std::size_t>(y) * m_nWidth; }
  // Copies equal-sized rectangles, clipped against both surfaces; returns the
  // destination rectangle written.
  SRect CopyUnscaled(const SSurfacePixels& src, SRect rcSrc, SRect rcDest);
  SRect CopyStretched(const SSurfacePixels& src, const SRect& rcSrc, const SRect& rcDest);
  void Presented(const SRect& rcChanged);

  int m_nWidth;
  int m_nHeight;
  // Its own pixels, unless it draws into memory it was given.
  std::vector<DWORD> m_pixels;
  DWORD* m_pPixels;
  std::shared_ptr<SSoftDirectDrawState> m_pState;
  IPresentationTarget* m_pDisplay;
  bool m_bFullScreen;
  CSoftSurface* m_pBackBuffer = nullptr;
  DWORD m_nRefs = 1;
  // Source positions of the destination columns of a stretched copy, kept to
  // spare an allocation per blit.
  std::vector<int> m_columnMap;
};
