#pragma once

#include <cstring>

#include "platform/Types.h"

// The console's 2 KB of work RAM. Indices come already reduced to 0..0x7FF.
class CRam {
 public:
  CRam() { std::memset(m_data, 0, sizeof(m_data)); }
  virtual ~CRam() = default;

  BYTE ReadByte(WORD index) const { return m_data[index & 0x7FF]; }
  void WriteByte(WORD index, BYTE value) { m_data[index & 0x7FF] = value; }
  // Little-endian word; the high byte is the next byte of the store, and the
  // store wraps at its end as the chip's mirror does (0x7FF pairs with 0).
  WORD ReadWord(WORD index) const {
    return static_cast<WORD>(m_data[index & 0x7FF] | (m_data[(index + 1) & 0x7FF] << 8));
  }

  BYTE m_data[2048];
};
