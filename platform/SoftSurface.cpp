#include "platform/SoftSurface.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
SRect Intersect(const SRect& a, const SRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}
}  // namespace

CSoftSurface::CSoftSurface(int nWidth, int nHeight, std::shared_ptr<SSoftDirectDrawState> pState,
                           IPresentationTarget* pDisplay, bool bFullScreen, DWORD* pMemory)
    : m_nWidth(nWidth),
      m_nHeight(nHeight),
      m_pixels(pMemory ? 0 : static_cast<std::size_t>(nWidth) * nHeight, 0),
      m_pPixels(pMemory ? pMemory : m_pixels.data()),
      m_pState(std::move(pState)),
      m_pDisplay(pDisplay),
      m_bFullScreen(bFullScreen) {
  ++m_pState->nLiveSurfaces;
}

CSoftSurface::~CSoftSurface() {
  if (m_pBackBuffer) m_pBackBuffer->Release();
  --m_pState->nLiveSurfaces;
}

DWORD CSoftSurface::Release() {
  const DWORD nLeft = --m_nRefs;
  if (nLeft == 0) delete this;
  return nLeft;
}

HRESULT CSoftSurface::GetAttachedSurface(DWORD dwCaps, IDirectDrawSurface** ppSurface) {
  if (!ppSurface) return DDERR_INVALIDPARAMS;
  *ppSurface = nullptr;
  if (m_pState->Fails(EDirectDrawStep::GetAttachedSurface)) {
    m_pState->Log("GetAttachedSurface", true);
    return DDERR_GENERIC;
  }
  if (!(dwCaps & DDSCAPS_BACKBUFFER) || !m_pBackBuffer) {
    m_pState->Log("GetAttachedSurface", true);
    return DDERR_NOTFOUND;
  }
  m_pState->Log("GetAttachedSurface", false);
  m_pBackBuffer->AddRef();
  *ppSurface = m_pBackBuffer;
  return DD_OK;
}

HRESULT CSoftSurface::Blt(const SRect* pDestRect, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
                          DWORD dwFlags, const SBltFx* pFx) {
  const SRect rcDest = pDestRect ? *pDestRect : Whole();
  if (rcDest.IsEmpty()) return DDERR_INVALIDRECT;

  if (dwFlags & DDBLT_COLORFILL) {
    if (!pFx || pFx->dwSize != sizeof(SBltFx)) return DDERR_INVALIDPARAMS;
    const SRect rc = Intersect(rcDest, Whole());
    if (rc.IsEmpty()) return DD_OK;
    for (int y = rc.top; y < rc.bottom; ++y)
      std::fill(Row(y) + rc.left, Row(y) + rc.right, pFx->dwFillColor);
    Presented(rc);
    return DD_OK;
  }

  if (!pSrc) return DDERR_INVALIDPARAMS;
  SSurfacePixels src;
  if (DdFailed(pSrc->Lock(src))) return DDERR_GENERIC;
  const SRect rcSrc = pSrcRect ? *pSrcRect : SRect{0, 0, src.nWidth, src.nHeight};
  if (rcSrc.IsEmpty()) {
    pSrc->Unlock();
    return DDERR_INVALIDRECT;
  }
  const bool bSameSize = rcSrc.Width() == rcDest.Width() && rcSrc.Height() == rcDest.Height();
  const SRect rcDone =
      bSameSize ? CopyUnscaled(src, rcSrc, rcDest) : CopyStretched(src, rcSrc, rcDest);
  pSrc->Unlock();
  if (!rcDone.IsEmpty()) Presented(rcDone);
  return DD_OK;
}

HRESULT CSoftSurface::BltFast(int x, int y, IDirectDrawSurface* pSrc, const SRect* pSrcRect,
                              DWORD /*dwTrans*/) {
  if (!pSrc) return DDERR_INVALIDPARAMS;
  SSurfacePixels src;
  if (DdFailed(pSrc->Lock(src))) return DDERR_GENERIC;
  const SRect rcSrc = pSrcRect ? *pSrcRect : SRect{0, 0, src.nWidth, src.nHeight};
  if (rcSrc.IsEmpty()) {
    pSrc->Unlock();
    return DDERR_INVALIDRECT;
  }
  const SRect rcDone = CopyUnscaled(src, rcSrc, {x, y, x + rcSrc.Width(), y + rcSrc.Height()});
  pSrc->Unlock();
  if (!rcDone.IsEmpty()) Presented(rcDone);
  return DD_OK;
}

SRect CSoftSurface::CopyUnscaled(const SSurfacePixels& src, SRect rcSrc, SRect rcDest) {
  // 64-bit so that no rectangle, however far out, overflows.
  long long sx = rcSrc.left, sy = rcSrc.top, dx = rcDest.left, dy = rcDest.top;
  long long w = rcSrc.Width(), h = rcSrc.Height();
  long long cut = std::max({0LL, -sx, -dx});
  sx += cut, dx += cut, w -= cut;
  cut = std::max({0LL, -sy, -dy});
  sy += cut, dy += cut, h -= cut;
  w = std::min({w, src.nWidth - sx, m_nWidth - dx});
  h = std::min({h, src.nHeight - sy, m_nHeight - dy});
  if (w <= 0 || h <= 0) return {};

  // Within one surface the rows may overlap: copy them away from the overlap.
  const bool bBottomUp = src.pPixels == m_pPixels && dy > sy;
  for (long long i = 0; i < h; ++i) {
    const long long r = bBottomUp ? h - 1 - i : i;
    std::memmove(Row(static_cast<int>(dy + r)) + dx, src.pPixels + (sy + r) * src.nPitch + sx,
                 static_cast<std::size_t>(w) * sizeof(DWORD));
  }
  return {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(dx + w),
          static_cast<int>(dy + h)};
}

SRect CSoftSurface::CopyStretched(const SSurfacePixels& src, const SRect& rcSrc,
                                  const SRect& rcDest) {
  const long long sw = rcSrc.Width(), sh = rcSrc.Height();
  const long long dw = rcDest.Width(), dh = rcDest.Height();
  // Nearest neighbour, sampling the source at the centre of each destination pixel.
  auto sourceX = [&](long long x) {
    return rcSrc.left + ((2 * (x - rcDest.left) + 1) * sw) / (2 * dw);
  };
  auto sourceY = [&](long long y) {
    return rcSrc.top + ((2 * (y - rcDest.top) + 1) * sh) / (2 * dh);
  };

  // Destination columns inside this surface whose source lies inside the
  // source surface; the mapping only grows, so they are one run.
  const SRect rcClip = Intersect(rcDest, Whole());
  if (rcClip.IsEmpty()) return {};
  m_columnMap.clear();
  int x0 = -1;
  for (int x = rcClip.left; x < rcClip.right; ++x) {
    const long long s = sourceX(x);
    if (s < 0) continue;
    if (s >= src.nWidth) break;
    if (x0 < 0) x0 = x;
    m_columnMap.push_back(static_cast<int>(s));
  }
  if (m_columnMap.empty()) return {};
  const int x1 = x0 + static_cast<int>(m_columnMap.size());

  // A copy of the source when it is this surface, so that no written pixel is read.
  std::vector<DWORD> copy;
  const DWORD* pSource = src.pPixels;
  if (pSource == m_pPixels) {
    copy.assign(m_pPixels, m_pPixels + static_cast<std::size_t>(m_nWidth) * m_nHeight);
    pSource = copy.data();
  }

  int y0 = -1, y1 = -1;
  long long lastSy = -1;
  for (int y = rcClip.top; y < rcClip.bottom; ++y) {
    const long long sy = sourceY(y);
    if (sy < 0) continue;
    if (sy >= src.nHeight) break;
    DWORD* pOut = Row(y) + x0;
    if (sy == lastSy) {
      // Same source row as the line above: repeat it.
      std::memcpy(pOut, Row(y - 1) + x0, static_cast<std::size_t>(x1 - x0) * sizeof(DWORD));
    } else {
      const DWORD* pIn = pSource + sy * src.nPitch;
      for (int i = 0; i < x1 - x0; ++i) pOut[i] = pIn[m_columnMap[i]];
    }
    lastSy = sy;
    if (y0 < 0) y0 = y;
    y1 = y + 1;
  }
  if (y0 < 0) return {};
  return {x0, y0, x1, y1};
}

HRESULT CSoftSurface::Flip(IDirectDrawSurface* pOverride, DWORD /*dwFlags*/) {
  if (!m_pBackBuffer) return DDERR_NOTFLIPPABLE;
  if (pOverride && pOverride != m_pBackBuffer) return DDERR_INVALIDPARAMS;
  // Both buffers have the display's size and their own pixels: exchanging
  // them is the flip.
  std::swap(m_pixels, m_pBackBuffer->m_pixels);
  m_pPixels = m_pixels.data();
  m_pBackBuffer->m_pPixels = m_pBackBuffer->m_pixels.data();
  Presented(Whole());
  return DD_OK;
}

HRESULT CSoftSurface::SetPixel(int x, int y, DWORD colorRef) {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return DDERR_INVALIDPARAMS;
  // The top byte of a COLORREF selects palettes, not a colour.
  Row(y)[x] = colorRef & 0x00FFFFFF;
  if (m_pDisplay) Presented({x, y, x + 1, y + 1});
  return DD_OK;
}

HRESULT CSoftSurface::Lock(SSurfacePixels& pixels) {
  pixels.pPixels = m_pPixels;
  pixels.nWidth = m_nWidth;
  pixels.nHeight = m_nHeight;
  pixels.nPitch = m_nWidth;
  return DD_OK;
}

void CSoftSurface::Presented(const SRect& rcChanged) {
  if (m_pDisplay) m_pDisplay->Present(m_pPixels, m_nWidth, rcChanged, m_bFullScreen);
}
