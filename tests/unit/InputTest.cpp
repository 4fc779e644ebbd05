#include <gtest/gtest.h>

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

TEST(ControllerPort, StrobeThenButtonsSignatureAndOneSharedCounter) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "Right", 0x20);  // D instead of the arrow
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  rig.keyboard.Press(46);         // B (C)
  rig.keyboard.SetKey(28, 0x01);  // Start (Return): any non-zero byte is down
  rig.keyboard.Press(0x20);       // Right
  EXPECT_EQ(input.ReadPort(0x4016), 0) << "nothing before the first strobe";
  EXPECT_EQ(input.m_readCount, 0);
  for (BYTE value : {0, 0, 2, 0}) input.WritePort(0x4016, value);  // bit 0 never set
  EXPECT_EQ(input.ReadPort(0x4017), 0);
  input.WritePort(0x4017, 0x09);  // bit 0 set, then clear: one strobe
  input.WritePort(0x4016, 0x08);
  const BYTE buttons[8] = {0x40, 0x41, 0x40, 0x41, 0x40, 0x40, 0x40, 0x41};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(input.ReadPort(i & 1 ? 0x4017 : 0x4016), buttons[i]) << i;
  for (int n = 9; n <= 18; ++n) EXPECT_EQ(input.ReadPort(0x4016), 0x40) << n;
  EXPECT_EQ(input.ReadPort(0x4016), 0);  // 19
  EXPECT_EQ(input.ReadPort(0x4017), 0);  // 20
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);
  input.WritePort(0x4016, 1);
  input.WritePort(0x4016, 0);
  for (int n = 1; n <= 18; ++n) input.ReadPort(0x4017);
  EXPECT_EQ(input.ReadPort(0x4017), 1);  // 19
  EXPECT_EQ(input.ReadPort(0x4016), 1);  // 20
  // Every read sees the keyboard at that moment.
  const int nReads = rig.keyboard.m_nStateReads;
  input.ReadPort(0x4016);
  EXPECT_EQ(rig.keyboard.m_nStateReads, nReads + 1);
  BYTE keys[256] = {};
  input.PollKeyboard(keys);
  EXPECT_EQ(keys[28], 0x01);
  EXPECT_EQ(keys[0x21], 0);
}

TEST(ControllerPort, KeyCodesOutsideTheStateNeverReadAsDown) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "A", 999);
  CInput input = rig.Make();
  rig.keyboard.Press(44);
  input.WritePort(0x4016, 1);
  input.WritePort(0x4016, 0);
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);
}

TEST(KeyboardSetUp, EachFailureIsReportedAndSetUpGoesOn) {
  struct SCase {
    bool bInputSystem, bDevice, bFormat;
    std::vector<std::string> messages;
  };
  const SCase cases[] = {
      {false, false, false, {}},
      {false, false, true, {"Unable to initialize Keyboard..."}},
      {false,
       true,
       false,
       {"Unable to create Direct Keyboard...", "Unable to initialize Keyboard..."}},
      {true,
       false,
       false,
       {"Unable to create Direct Input objects...", "Unable to create Direct Keyboard...",
        "Unable to initialize Keyboard..."}},
  };
  for (const SCase& c : cases) {
    SInputRig rig;
    rig.keyboard.m_bFailCreateInputSystem = c.bInputSystem;
    rig.keyboard.m_bFailCreateDevice = c.bDevice;
    rig.keyboard.m_bFailSetDataFormat = c.bFormat;
    {
      CInput input = rig.Make();
      EXPECT_EQ(rig.messages.Messages(), c.messages);
      input.WritePort(0x4016, 1);
      input.WritePort(0x4016, 0);
      rig.keyboard.Press(44);
      const bool bDevice = !c.bInputSystem && !c.bDevice;
      EXPECT_EQ(input.ReadPort(0x4016), bDevice ? 0x41 : 0x40) << "without a device no key is down";
      EXPECT_EQ(rig.keyboard.m_bAcquired, bDevice);
    }
    EXPECT_EQ(rig.keyboard.m_nReleaseCount, !c.bInputSystem && !c.bDevice ? 1 : 0);
  }
}

TEST(KeyboardSetUp, JoystickTypeHasNoKeyboard) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "Type", 1);
  {
    CInput input = rig.Make();
    EXPECT_EQ(rig.messages.Messages(), std::vector<std::string>{"Joystick not supported yet."});
    EXPECT_EQ(rig.keyboard.m_nAcquireCount, 0);
    rig.keyboard.Press(0x01);
    BYTE keys[256] = {};
    input.PollKeyboard(keys);
    EXPECT_EQ(keys[0x01], 0);
    EXPECT_EQ(input.Keyboard(), nullptr);
  }
  EXPECT_EQ(rig.keyboard.m_nReleaseCount, 0);
}
