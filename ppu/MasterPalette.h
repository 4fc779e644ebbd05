#pragma once

#include "platform/Types.h"

// The 64 colours of the master palette, R, G, B each.
extern const BYTE kMasterPalette[64][3];
