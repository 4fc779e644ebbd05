#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

// Plays steps one per turn of whichever event loop runs (a dialog's own, a
// nested one, the emulation loop's pump), so each step sees the program
// settled after the one before, while goOn() holds and until the caller
// clears the returned flag. The runner holds itself only weakly; each
// scheduled turn holds it.
inline std::shared_ptr<bool> PlaySteps(QObject* pContext, std::vector<std::function<void()>> steps,
                                       std::function<bool()> goOn) {
  auto pPlaying = std::make_shared<bool>(true);
  auto pSteps = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
  auto pNext = std::make_shared<std::function<void(std::size_t)>>();
  std::weak_ptr<std::function<void(std::size_t)>> next = pNext;
  *pNext = [pSteps, next, pContext, goOn, pPlaying](std::size_t i) {
    if (i >= pSteps->size() || !*pPlaying || !goOn()) return;
    (*pSteps)[i]();
    QTimer::singleShot(0, pContext, [pNext = next.lock(), i] { (*pNext)(i + 1); });
  };
  QTimer::singleShot(0, pContext, [pNext] { (*pNext)(0); });
  return pPlaying;
}

struct SModalOutcome {
  int nResult = QDialog::Rejected;
  bool bTimedOut = false;
};

// Runs a modal dialog with the steps played in it. A dialog still open a
// few seconds after the last step is rejected, so a test fails instead of
// hanging.
inline SModalOutcome RunModal(QDialog& dialog, std::vector<std::function<void()>> steps) {
  SModalOutcome outcome;
  auto pOpen = std::make_shared<bool>(true);
  steps.push_back([&dialog, &outcome, pOpen] {
    QTimer::singleShot(3000, &dialog, [&dialog, &outcome, pOpen] {
      if (!*pOpen) return;
      outcome.bTimedOut = true;
      dialog.reject();
    });
  });
  auto pPlaying = PlaySteps(&dialog, std::move(steps), [] { return true; });
  outcome.nResult = dialog.exec();
  *pOpen = *pPlaying = false;
  return outcome;
}
