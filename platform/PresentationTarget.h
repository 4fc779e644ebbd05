#pragma once

#include "platform/DirectDraw.h"

// The display that primary surfaces show on, and the main window on it.
// Windowed, the program's picture is whatever lands in the main window's client
// area; full screen, the whole display is the program's.
class IPresentationTarget {
 public:
  virtual ~IPresentationTarget() = default;

  // Size of the whole display; a primary surface has this size.
  virtual int DisplayWidth() const = 0;
  virtual int DisplayHeight() const = 0;
  // Display position of a point of the main window's client area.
  virtual SPoint ClientToScreen(SPoint client) const = 0;
  // The display's contents changed inside rcChanged (display coordinates,
  // within the display). pPixels holds the whole display in the surfaces'
  // pixel format, nPitch pixels per row, and is valid during the call only.
  virtual void Present(const DWORD* pPixels, int nPitch, const SRect& rcChanged,
                       bool bFullScreen) = 0;
  // The display's own pixels (DisplayWidth() x DisplayHeight(), row after
  // row), if the target keeps them: a primary surface without a flip chain
  // then draws straight into them and presents them in place. Null when the
  // target keeps no copy of the display.
  virtual DWORD* DisplayMemory() { return nullptr; }
};
