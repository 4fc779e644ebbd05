// The read order, the signature reads and the strobe on bit 0 are checked by
// the 6502 programs in CpuProgramTest; here what a program cannot reach.
#include <gtest/gtest.h>

#include <vector>

#include "input/Input.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"

namespace {
struct SInputRig {
  CKeyStateKeyboard keyboard;
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CInput Make() { return CInput(&keyboard, &settings, &messages); }
};
}  // namespace

TEST(ControllerPort, KeysComeFromTheSettingsAndAreReadAtEachRead) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "Right", 0x20);  // D instead of the arrow
  rig.settings.WriteInt("Input", "B", 999);       // outside the key state: never down
  CInput input = rig.Make();
  rig.keyboard.Press(0x20);
  rig.keyboard.Press(46);                                  // B's first-run key, no longer B's
  rig.keyboard.Press(200);                                 // Up, let go before it is read
  input.WritePort(0x4016, 1), input.WritePort(0x4016, 0);  // strobe
  std::vector<int> buttons;
  for (int i = 0; i < 8; ++i) {
    // Between two reads of one frame: Start (Return) goes down, with any
    // non-zero byte, and Up comes up.
    if (i == 3) rig.keyboard.SetKey(28, 0x01), rig.keyboard.Release(200);
    buttons.push_back(input.ReadPort(0x4016));
  }
  EXPECT_EQ(buttons, (std::vector<int>{0x40, 0x40, 0x40, 0x41, 0x40, 0x40, 0x40, 0x41}));
}

TEST(KeyboardSetUp, EachFailureIsReportedAndSetUpGoesOn) {
  const std::string create = "Unable to create Direct Keyboard...",
                    init = "Unable to initialize Keyboard...";
  // The step that fails (input system, device, data format, a joystick chosen)
  // and what the player is told.
  const std::vector<std::string> cases[] = {
      {"Unable to create Direct Input objects...", create, init},
      {create, init},
      {init},
      {"Joystick not supported yet."}};
  for (int step = 0; step < 4; ++step) {
    SInputRig rig;
    rig.keyboard.m_bFailCreateInputSystem = step == 0;
    rig.keyboard.m_bFailCreateDevice = step == 1;
    rig.keyboard.m_bFailSetDataFormat = step == 2;
    rig.settings.WriteInt("Input", "Type", step == 3);
    const bool bDevice = step == 2;
    {
      CInput input = rig.Make();
      EXPECT_EQ(rig.messages.Messages(), cases[step]);
      input.WritePort(0x4016, 1), input.WritePort(0x4016, 0);
      rig.keyboard.Press(44);
      EXPECT_EQ(input.ReadPort(0x4016), bDevice ? 0x41 : 0x40) << "without a device no key is down";
    }
    EXPECT_EQ(rig.keyboard.m_nReleaseCount, bDevice ? 1 : 0);
  }
}
