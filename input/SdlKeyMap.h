#pragma once

// DirectInput key code for an SDL 1.2 key symbol (an SDLKey value), or 0 for
// a key that has no code in the table.
int SdlKeyToDik(int nSdlKey);
