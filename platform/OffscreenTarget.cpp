#include "platform/OffscreenTarget.h"

#include <algorithm>
#include <cstring>

COffscreenTarget::COffscreenTarget(int nDisplayWidth, int nDisplayHeight, SRect rcClient)
    : m_nWidth(std::max(nDisplayWidth, 1)),
      m_nHeight(std::max(nDisplayHeight, 1)),
      m_rcClient(rcClient),
      m_display(static_cast<std::size_t>(m_nWidth) * m_nHeight, 0) {}

SPoint COffscreenTarget::ClientToScreen(SPoint client) const {
  return {client.x + m_rcClient.left, client.y + m_rcClient.top};
}

void COffscreenTarget::Present(const DWORD* pPixels, int nPitch, const SRect& rcChanged,
                               bool bFullScreen) {
  ++m_nPresents;
  m_bFullScreen = bFullScreen;
  // Trust nothing about the rectangle: the primary may be of another display size.
  const int left = std::max(rcChanged.left, 0);
  const int top = std::max(rcChanged.top, 0);
  const int right = std::min({rcChanged.right, m_nWidth, nPitch});
  const int bottom = std::min(rcChanged.bottom, m_nHeight);
  // A primary that draws into the display itself has nothing to hand over.
  if (!pPixels || pPixels == m_display.data() || right <= left || bottom <= top) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(&m_display[static_cast<std::size_t>(y) * m_nWidth + left],
                pPixels + static_cast<std::size_t>(y) * nPitch + left,
                static_cast<std::size_t>(right - left) * sizeof(DWORD));
}

SImage COffscreenTarget::Display() const {
  SImage image(m_nWidth, m_nHeight);
  for (std::size_t i = 0; i < m_display.size(); ++i) image.pixels[i] = ColorRefToRgb(m_display[i]);
  return image;
}

SImage COffscreenTarget::Picture() const {
  if (m_bFullScreen) return Display();
  SImage image(std::max(m_rcClient.Width(), 0), std::max(m_rcClient.Height(), 0));
  for (int y = 0; y < image.nHeight; ++y) {
    const int dy = y + m_rcClient.top;
    if (dy < 0 || dy >= m_nHeight) continue;
    for (int x = 0; x < image.nWidth; ++x) {
      const int dx = x + m_rcClient.left;
      if (dx < 0 || dx >= m_nWidth) continue;
      image.At(x, y) = ColorRefToRgb(m_display[static_cast<std::size_t>(dy) * m_nWidth + dx]);
    }
  }
  return image;
}
