#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

// Runs a modal dialog and plays steps in it, one per turn of whichever event
// loop is running (the dialog's own, or a nested one the dialog started), so
// each step sees the dialog settled after the one before. A dialog still
// open a few seconds after the last step is rejected, so a test fails
// instead of hanging. Returns the dialog's result and whether it timed out.
struct SModalOutcome {
  int nResult = QDialog::Rejected;
  bool bTimedOut = false;
};

inline SModalOutcome RunModal(QDialog& dialog, std::vector<std::function<void()>> steps) {
  auto pSteps = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
  auto pNext = std::make_shared<std::function<void(std::size_t)>>();
  std::weak_ptr<std::function<void(std::size_t)>> next = pNext;
  SModalOutcome outcome;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &dialog, [&] {
    outcome.bTimedOut = true;
    dialog.reject();
  });
  // The step runner holds itself only weakly; each scheduled turn holds it.
  // Steps left when the dialog closes early never run.
  auto pOpen = std::make_shared<bool>(true);
  *pNext = [pSteps, next, pOpen, &guard, &dialog](std::size_t i) {
    if (!*pOpen) return;
    if (i >= pSteps->size()) {
      guard.start(3000);
      return;
    }
    (*pSteps)[i]();
    QTimer::singleShot(0, &dialog, [pNext = next.lock(), i] { (*pNext)(i + 1); });
  };
  QTimer::singleShot(0, &dialog, [pNext] { (*pNext)(0); });
  pNext.reset();
  outcome.nResult = dialog.exec();
  *pOpen = false;
  return outcome;
}
