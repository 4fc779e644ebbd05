#pragma once

#include "platform/Image.h"

// Engines that show a picture can hand it out, for screenshots and golden
// tests. Separate from the engine interface, which stays as the machine uses it.
class IScreenCapture {
 public:
  virtual ~IScreenCapture() = default;
  // The 256 x 240 console picture as it is shown; false with nothing shown.
  virtual bool CapturePicture(SImage& image) = 0;
  // Everything the engine's output shows (the SDL window with its debug
  // views); by default the picture.
  virtual bool CaptureWindow(SImage& image) { return CapturePicture(image); }
};
