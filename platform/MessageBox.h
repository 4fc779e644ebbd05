#pragma once

#include <string>

// An OK-only message box with the caption "Tolvar". Implementations never
// block a test or the headless runner.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  virtual void Show(const std::string& strText) = 0;
};

inline constexpr const char* kMessageBoxCaption = "Tolvar";
