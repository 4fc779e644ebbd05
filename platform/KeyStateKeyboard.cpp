#include "platform/KeyStateKeyboard.h"

#include <algorithm>

bool CKeyStateKeyboard::GetDeviceState(BYTE* keys) {
  ++m_nStateReads;
  std::copy(m_state.begin(), m_state.end(), keys);
  return true;
}

void CKeyStateKeyboard::SetKey(int nKeyCode, BYTE value) {
  if (nKeyCode < 0 || nKeyCode > 255) return;
  const bool bChanged = m_state[nKeyCode] != value;
  m_state[nKeyCode] = value;
  if (bChanged && m_stateChanged) m_stateChanged();
}

void CKeyStateKeyboard::ReleaseAll() {
  const bool bAny = std::any_of(m_state.begin(), m_state.end(), [](BYTE b) { return b != 0; });
  m_state.fill(0);
  if (bAny && m_stateChanged) m_stateChanged();
}
