#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <vector>

using Steps = std::vector<std::function<void()>>;

// Plays steps one per turn of whichever event loop runs (a dialog's own, a
// nested one, the emulation loop's pump), so each step sees the program
// settled after the one before, while goOn() holds and until it is gone.
class CStepPlayer : public QObject {
 public:
  explicit CStepPlayer(
      Steps steps, std::function<bool()> goOn = [] { return true; })
      : m_steps(std::move(steps)), m_goOn(std::move(goOn)) {
    PlayNext();
  }
  void PlayNext() {
    QTimer::singleShot(0, this, [this] {
      if (m_nNext >= m_steps.size() || !m_goOn()) return;
      m_steps[m_nNext++]();
      PlayNext();
    });
  }
  Steps m_steps;
  std::function<bool()> m_goOn;
  std::size_t m_nNext = 0;
};

// Runs a modal dialog with the steps played in it. One still open a few
// seconds after the last step is rejected, so a test fails instead of hanging.
inline int RunModal(QDialog& dialog, Steps steps) {
  steps.push_back([&dialog] {
    QTimer::singleShot(3000, &dialog, [&dialog] {
      if (dialog.isVisible()) dialog.reject();
    });
  });
  const CStepPlayer player(std::move(steps));
  return dialog.exec();
}
