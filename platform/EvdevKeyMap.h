#pragma once

// DirectInput key code of a Linux input-event key code (the physical key,
// whatever the layout), or 0 for a key without one. X11 reports these codes
// plus 8 as its key codes.
int EvdevToDik(int nEvdevCode);
