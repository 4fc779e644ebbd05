#pragma once

class ISettingsStore;
class IMessageBox;
class IKeyboardDevice;
class ITicks;
class IEventPump;
class IStatusText;
class IDirectDrawFactory;

// The platform services the console reaches, handed in by whoever builds the
// console: the GUI shell, the headless runner or a test. None is owned here.
struct SPlatform {
  ISettingsStore* pSettings = nullptr;
  IMessageBox* pMessageBox = nullptr;
  IKeyboardDevice* pKeyboard = nullptr;
  ITicks* pTicks = nullptr;
  IEventPump* pEventPump = nullptr;
  IStatusText* pStatusText = nullptr;
  // Drawing objects for the DirectX engine; null means none can be created.
  IDirectDrawFactory* pDirectDraw = nullptr;
  // Whether the visible engines hold presented frames to the console's rate
  // (video/FramePacer.h); the headless runner and tests run unpaced.
  bool bPaceFrames = true;
};
