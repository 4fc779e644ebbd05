#pragma once

#include "platform/MessageBox.h"

// Prints message-box texts on stderr; for the headless runner.
class CStderrMessageBox : public IMessageBox {
 public:
  void Show(const std::string& strText) override;
};
