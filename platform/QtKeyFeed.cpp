#include "platform/QtKeyFeed.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/EvdevKeyMap.h"
#include "platform/KeyStateKeyboard.h"

namespace {
// X11 key codes are the Linux input-event codes plus 8.
constexpr int kX11KeyCodeOffset = 8;

struct SQtKey {
  int nQtKey;
  int nDik;
};

// Only for platforms without scan codes: the keys tests and the default
// assignments use.
constexpr SQtKey kQtKeys[] = {
    {Qt::Key_Escape, 0x01}, {Qt::Key_Tab, 0x0F},    {Qt::Key_Return, 0x1C},
    {Qt::Key_Enter, 0x1C},  {Qt::Key_Space, 0x39},  {Qt::Key_Up, 0xC8},
    {Qt::Key_Down, 0xD0},   {Qt::Key_Left, 0xCB},   {Qt::Key_Right, 0xCD},
    {Qt::Key_Q, 0x10},      {Qt::Key_W, 0x11},      {Qt::Key_E, 0x12},
    {Qt::Key_R, 0x13},      {Qt::Key_T, 0x14},      {Qt::Key_Y, 0x15},
    {Qt::Key_U, 0x16},      {Qt::Key_I, 0x17},      {Qt::Key_O, 0x18},
    {Qt::Key_P, 0x19},      {Qt::Key_A, 0x1E},      {Qt::Key_S, 0x1F},
    {Qt::Key_D, 0x20},      {Qt::Key_F, 0x21},      {Qt::Key_G, 0x22},
    {Qt::Key_H, 0x23},      {Qt::Key_J, 0x24},      {Qt::Key_K, 0x25},
    {Qt::Key_L, 0x26},      {Qt::Key_Z, 0x2C},      {Qt::Key_X, 0x2D},
    {Qt::Key_C, 0x2E},      {Qt::Key_V, 0x2F},      {Qt::Key_B, 0x30},
    {Qt::Key_N, 0x31},      {Qt::Key_M, 0x32},      {Qt::Key_F1, 0x3B},
};
}  // namespace

CQtKeyFeed::CQtKeyFeed(CKeyStateKeyboard* pKeyboard) : m_pKeyboard(pKeyboard) {}

int CQtKeyFeed::KeyCodeOf(int nNativeScanCode, int nQtKey) {
  if (nNativeScanCode > kX11KeyCodeOffset) return EvdevToDik(nNativeScanCode - kX11KeyCodeOffset);
  for (const SQtKey& k : kQtKeys)
    if (k.nQtKey == nQtKey) return k.nDik;
  return 0;
}

bool CQtKeyFeed::eventFilter(QObject* pWatched, QEvent* pEvent) {
  switch (pEvent->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // A key event passes the application's filters once for each object
      // it is offered to (the platform window, then widgets); the first
      // widget is the one it went to, and setting the same state again
      // changes nothing.
      const auto* pKey = static_cast<QKeyEvent*>(pEvent);
      if (pKey->isAutoRepeat()) break;
      const int nCode = KeyCodeOf(static_cast<int>(pKey->nativeScanCode()), pKey->key());
      if (nCode <= 0 || nCode > 255) break;
      if (pEvent->type() == QEvent::KeyRelease) {
        m_owners[nCode] = nullptr;
        m_pKeyboard->Release(nCode);
      } else if (const auto* pWidget = qobject_cast<QWidget*>(pWatched);
                 pWidget && !m_owners[nCode]) {
        m_owners[nCode] = pWidget->window();
        m_pKeyboard->Press(nCode);
      }
      break;
    }
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
      if (const auto* pWidget = qobject_cast<QWidget*>(pWatched); pWidget && pWidget->isWindow())
        ReleaseKeysOf(pWidget);
      break;
    default:
      break;
  }
  return QObject::eventFilter(pWatched, pEvent);
}

void CQtKeyFeed::ReleaseKeysOf(const QObject* pWindow) {
  for (int nCode = 0; nCode < 256; ++nCode)
    if (m_owners[nCode] == pWindow) {
      m_owners[nCode] = nullptr;
      m_pKeyboard->Release(nCode);
    }
}
