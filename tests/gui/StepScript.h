#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

using Steps = std::vector<std::function<void()>>;

// Plays steps one per turn of whichever event loop runs (a dialog's own, a
// nested one, the emulation loop's pump), so each step sees the program
// settled after the one before, while goOn() holds and until the caller
// clears the returned flag. Each scheduled turn holds what it needs.
inline void PlayStepsFrom(QObject* pContext, std::shared_ptr<Steps> pSteps,
                          std::function<bool()> goOn, std::shared_ptr<bool> pPlaying,
                          std::size_t i) {
  QTimer::singleShot(0, pContext, [=] {
    if (i >= pSteps->size() || !*pPlaying || !goOn()) return;
    (*pSteps)[i]();
    PlayStepsFrom(pContext, pSteps, goOn, pPlaying, i + 1);
  });
}

inline std::shared_ptr<bool> PlaySteps(QObject* pContext, Steps steps, std::function<bool()> goOn) {
  auto pPlaying = std::make_shared<bool>(true);
  PlayStepsFrom(pContext, std::make_shared<Steps>(std::move(steps)), goOn, pPlaying, 0);
  return pPlaying;
}

struct SModalOutcome {
  int nResult = QDialog::Rejected;
  bool bTimedOut = false;
};

// Runs a modal dialog with the steps played in it. A dialog still open a
// few seconds after the last step is rejected, so a test fails instead of
// hanging.
inline SModalOutcome RunModal(QDialog& dialog, Steps steps) {
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
