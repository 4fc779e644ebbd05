#pragma once

#include <functional>

#include "platform/Types.h"

// The keyboard as a 256-byte key state indexed by DirectInput key code
// (non-zero = down). The steps mirror the set-up of a DirectInput keyboard so
// that each can fail on its own and be reported.
class IKeyboardDevice {
 public:
  virtual ~IKeyboardDevice() = default;
  // Creates the input system object; false when it cannot be created.
  virtual bool CreateInputSystem() = 0;
  // Creates the keyboard device; false when it cannot be created.
  virtual bool CreateDevice() = 0;
  // Selects the 256-byte key-state format; false on failure.
  virtual bool SetDataFormat() = 0;
  virtual bool Acquire() = 0;
  virtual void Unacquire() = 0;
  virtual void Release() = 0;
  // Copies the current key state into keys[0..255]; false on failure.
  virtual bool GetDeviceState(BYTE* keys) = 0;
  // The key state itself, 256 bytes kept current by whoever feeds the
  // device, for a reader that looks at one key many times a frame; null
  // when only GetDeviceState can tell.
  virtual const BYTE* LiveState() const { return nullptr; }
  // Called whenever the key state changes (a key goes down or up); used by
  // the key capture. An empty function removes the notification.
  virtual void SetStateChangedHandler(std::function<void()> handler) = 0;
};

// DirectInput key codes used by the emulator itself.
namespace dik {
inline constexpr int kEscape = 0x01;
inline constexpr int kTab = 0x0F;
inline constexpr int kReturn = 0x1C;
inline constexpr int kF = 0x21;
inline constexpr int kZ = 0x2C;
inline constexpr int kX = 0x2D;
inline constexpr int kC = 0x2E;
inline constexpr int kUp = 0xC8;
inline constexpr int kLeft = 0xCB;
inline constexpr int kRight = 0xCD;
inline constexpr int kDown = 0xD0;
}  // namespace dik
