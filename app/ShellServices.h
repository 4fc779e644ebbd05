#pragma once

class ISettingsStore;
class IMessageBox;
class ITicks;
class CKeyStateKeyboard;

// The platform services the application shell is built on: the program
// passes the real ones, tests their doubles. None is owned.
struct SShellServices {
  ISettingsStore* pSettings = nullptr;
  IMessageBox* pMessageBox = nullptr;
  CKeyStateKeyboard* pKeyboard = nullptr;
  ITicks* pTicks = nullptr;
  // Whether the visible engines hold frames to the console's rate.
  bool bPaceFrames = true;
};

// Something that handles menu commands; false when it does not know one.
class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;
  virtual bool OnCommand(int nCommand) = 0;
  virtual bool HasHandler(int nCommand) const = 0;
};
