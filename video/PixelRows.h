#pragma once

#include "platform/Types.h"

// Copies n 8-bit pixels from src to dst through a 16-entry colour map, the
// way SDL blits one 8-bit surface onto another with a different palette:
// each pixel becomes map[pixel & 15], except that with nKey in 0..255 the
// pixels of that value are left out and dst keeps what it had. src and dst
// may not overlap.
void MapPixelRow(const BYTE* src, BYTE* dst, int n, const BYTE* map, int nKey);
