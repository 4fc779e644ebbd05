#pragma once

#include <QObject>

class CKeyStateKeyboard;

// Feeds the raw key presses and releases of every Qt window of the program
// (main window and dialogs) into the keyboard state, by physical key. Keys
// stay down whichever of our windows has the focus; when the program loses
// the focus altogether (neither a Qt window nor the SDL window has it),
// every key counts as released, so none sticks.
class CQtKeyFeed : public QObject {
 public:
  explicit CQtKeyFeed(CKeyStateKeyboard* pKeyboard);

  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
  // The SDL window's focus, as its event pump reports it, and whether a Qt
  // window of the program is active.
  void SetSdlWindowFocus(bool bFocus);
  void SetApplicationActive(bool bActive);

  // DirectInput code of a key event: from its native scan code, or, where
  // the platform gives none (the offscreen platform), from its Qt key.
  static int KeyCodeOf(int nNativeScanCode, int nQtKey);

 private:
  void ReleaseAllIfUnfocused();

  static constexpr int kFocusSettleMs = 100;

  CKeyStateKeyboard* m_pKeyboard;
  bool m_bQtActive = true;
  bool m_bSdlFocus = false;
};
