#pragma once

#include "platform/Types.h"
#include "ppu/Ppu.h"

// Name-table rules every engine draws by.

// The physical name table behind a logical one (0-3: 0x2000, 0x2400, 0x2800,
// 0x2C00), by the mirroring.
inline WORD PhysicalNameTable(const CPpu& ppu, int nLogical) {
  const int nBit = ppu.m_bVertical ? (nLogical & 1) : (nLogical >> 1 & 1);
  return nBit ? 0x2400 : 0x2000;
}

// The physical name table the frame starts from, by the control register's
// selection.
inline WORD FrameNameTable(const CPpu& ppu) { return PhysicalNameTable(ppu, ppu.m_Control & 3); }

inline bool IsAttributeByte(WORD addr) {
  return (addr >= 0x23C0 && addr < 0x2400) || (addr >= 0x27C0 && addr < 0x2800);
}

// Calls redraw(tile address) for the 4 x 4 tiles an attribute byte colours;
// the last attribute row has only two tile rows under it.
template <class Redraw>
void ForEachTileUnderAttribute(WORD addr, Redraw redraw) {
  const WORD table = addr < 0x2400 ? 0x2000 : 0x2400;
  const int limit = table + 0x3C0;
  const int i = addr - limit;
  const int first = table + (i >> 3) * 128 + (i & 7) * 4;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      const int tile = first + r * 32 + c;
      if (tile < limit) redraw(static_cast<WORD>(tile));
    }
}

// Palette select (0-3) of the tile at pixel (x, y) of its table: the 2-bit
// field of its attribute byte for its quadrant of the 32 x 32 block.
inline BYTE TilePaletteSelect(const CPpu& ppu, WORD table, int x, int y) {
  const BYTE attribute = ppu.m_Vram[table + 0x3C0 + x / 32 + (y / 32) * 8];
  const int shift = (((y / 8) & 3) > 1 ? 4 : 0) + (((x / 8) & 3) > 1 ? 2 : 0);
  return static_cast<BYTE>((attribute >> shift) & 3);
}
