#pragma once

#include <QObject>
#include <array>

class CKeyStateKeyboard;

// Feeds the raw key presses and releases of every Qt window of the program
// (main window, dialogs, menus) into the keyboard state, by physical key.
// The keys that went down in a window go up when it closes or loses the
// focus: their releases would be sent to another window, or nowhere.
class CQtKeyFeed : public QObject {
 public:
  explicit CQtKeyFeed(CKeyStateKeyboard* pKeyboard);

  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  // DirectInput code of a key event: from its native scan code, or, where
  // the platform gives none (the offscreen platform), from its Qt key.
  static int KeyCodeOf(int nNativeScanCode, int nQtKey);

 private:
  void ReleaseKeysOf(const QObject* pWindow);

  CKeyStateKeyboard* m_pKeyboard;
  // The window each key went down in, while it is down; only compared.
  std::array<const QObject*, 256> m_owners{};
};
