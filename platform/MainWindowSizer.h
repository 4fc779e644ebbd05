#pragma once

// Resizes the application's main window, frame, menu and status bar
// included, keeping its position and stacking order.
class IMainWindowSizer {
 public:
  virtual ~IMainWindowSizer() = default;
  virtual void ResizeMainWindow(int nWidth, int nHeight) = 0;
};
