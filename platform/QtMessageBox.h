#pragma once

#include <functional>

#include "platform/MessageBox.h"

class QWidget;

// Message boxes of the desktop program: modal to the main window, caption
// "Tolvar", an OK button only. A box can come up in the middle of a CPU
// instruction, so while one is shown no menu command may run.
class CQtMessageBox : public IMessageBox {
 public:
  // The parent is looked up at each Show: the main window may not exist
  // yet when the first components are built.
  explicit CQtMessageBox(std::function<QWidget*()> parent);

  void Show(const std::string& strText) override;

  static bool IsShowing() { return s_nShowing > 0; }

 private:
  std::function<QWidget*()> m_parent;
  static int s_nShowing;
};
