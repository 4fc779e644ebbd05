#pragma once

#include <vector>

#include "platform/Image.h"
#include "platform/PresentationTarget.h"

// A display that exists only in memory, for the headless runner and tests:
// it keeps what the primary surfaces presented and hands it out as a picture.
class COffscreenTarget : public IPresentationTarget {
 public:
  // The defaults leave room for a 512 x 480 windowed picture at client (3, 3).
  explicit COffscreenTarget(int nDisplayWidth = 800, int nDisplayHeight = 600,
                            SRect rcClient = {0, 0, 518, 486});

  int DisplayWidth() const override { return m_nWidth; }
  int DisplayHeight() const override { return m_nHeight; }
  SPoint ClientToScreen(SPoint client) const override;
  void Present(const DWORD* pPixels, int nPitch, const SRect& rcChanged, bool bFullScreen) override;
  DWORD* DisplayMemory() override { return m_display.data(); }

  // What the user sees: full screen the whole display, windowed the client
  // area (the part of it outside the display is black).
  SImage Picture() const;
  // The whole display as last presented.
  SImage Display() const;
  // The display rectangle of the client area; the window may be moved.
  const SRect& ClientRect() const { return m_rcClient; }
  void MoveClient(SRect rcClient) { m_rcClient = rcClient; }

  int PresentCount() const { return m_nPresents; }
  bool LastWasFullScreen() const { return m_bFullScreen; }

 private:
  int m_nWidth;
  int m_nHeight;
  SRect m_rcClient;
  std::vector<DWORD> m_display;
  int m_nPresents = 0;
  bool m_bFullScreen = false;
};
