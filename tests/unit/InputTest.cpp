#include <gtest/gtest.h>

#include "input/Input.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"

namespace {
struct InputRig {
  CKeyStateKeyboard keyboard;
  CMemorySettingsStore settings;
  CMessageRecorder messages;
};

void Strobe(CInput& input, WORD addr = 0x4016) {
  input.WritePort(addr, 1);
  input.WritePort(addr, 0);
}
}  // namespace

TEST(ControllerPort, ReadsNothingBeforeTheFirstStrobe) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  rig.keyboard.Press(44);
  EXPECT_EQ(input.ReadPort(0x4016), 0);
  EXPECT_EQ(input.ReadPort(0x4017), 0);
  EXPECT_EQ(input.m_readCount, 0);
  Strobe(input);
  EXPECT_EQ(input.ReadPort(0x4016), 0x41) << "the count starts at button A";
}

TEST(ControllerPort, ReadSequenceGivesButtonsThenSignature) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  // Down: B (C key), Start (Return), Left.
  rig.keyboard.Press(46);
  rig.keyboard.Press(28);
  rig.keyboard.SetKey(203, 0x01);  // any non-zero byte counts as down
  Strobe(input);
  const BYTE expected[8] = {0x40, 0x41, 0x40, 0x41, 0x40, 0x40, 0x41, 0x40};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(input.ReadPort(0x4016), expected[i]) << "read " << i + 1;
  for (int i = 9; i <= 18; ++i) EXPECT_EQ(input.ReadPort(0x4016), 0x40) << "read " << i;
  EXPECT_EQ(input.ReadPort(0x4016), 0);  // 19
  EXPECT_EQ(input.ReadPort(0x4016), 1);  // 20
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);

  Strobe(input, 0x4017);
  for (int i = 0; i < 18; ++i) input.ReadPort(0x4017);
  EXPECT_EQ(input.ReadPort(0x4017), 1);  // 19
  EXPECT_EQ(input.ReadPort(0x4017), 0);  // 20
}

TEST(ControllerPort, BothPortsShareOneCounter) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  rig.keyboard.Press(44);  // A
  Strobe(input);
  EXPECT_EQ(input.ReadPort(0x4016), 0x41);  // A
  EXPECT_EQ(input.ReadPort(0x4017), 0x40);  // B
}

TEST(ControllerPort, BitZeroSetThenClearStrobes) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  input.WritePort(0x4016, 0);
  input.WritePort(0x4016, 0);
  EXPECT_EQ(input.ReadPort(0x4016), 0) << "0 without a 1 does not strobe";
  input.WritePort(0x4016, 2);
  input.WritePort(0x4016, 0);
  EXPECT_EQ(input.ReadPort(0x4016), 0) << "2 leaves bit 0 clear";
  input.WritePort(0x4016, 9);
  input.WritePort(0x4016, 1);
  input.WritePort(0x4016, 8);
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);
  Strobe(input);
  EXPECT_EQ(input.m_readCount, 0);
}

TEST(ControllerPort, EveryReadSeesTheKeyboardAtThatMoment) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  Strobe(input);
  const int before = rig.keyboard.m_nStateReads;
  EXPECT_EQ(input.ReadPort(0x4016), 0x40);
  rig.keyboard.Press(46);
  EXPECT_EQ(input.ReadPort(0x4016), 0x41);
  EXPECT_EQ(rig.keyboard.m_nStateReads - before, 2);
}

TEST(ControllerPort, KeyCodesComeFromTheInputSection) {
  InputRig rig;
  rig.settings.WriteInt("Input", "A", 0x39);  // space
  rig.settings.WriteInt("Input", "Right", 0x20);
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  EXPECT_EQ(input.m_keyCodes[CInput::kA], 0x39);
  EXPECT_EQ(input.m_keyCodes[CInput::kB], 46);
  EXPECT_EQ(input.m_keyCodes[CInput::kRight], 0x20);
  rig.keyboard.Press(0x39);
  Strobe(input);
  EXPECT_EQ(input.ReadPort(0x4016), 0x41);
  // A stored code outside the key state never reads as pressed.
  rig.settings.WriteInt("Input", "B", 999);
  CInput odd(&rig.keyboard, &rig.settings, &rig.messages);
  Strobe(odd);
  odd.ReadPort(0x4016);
  EXPECT_EQ(odd.ReadPort(0x4016), 0x40);
}

TEST(ControllerPort, PollCopiesTheWholeKeyState) {
  InputRig rig;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  rig.keyboard.Press(0x01);
  rig.keyboard.Press(0xFF);
  BYTE keys[256] = {};
  input.PollKeyboard(keys);
  EXPECT_NE(keys[0x01], 0);
  EXPECT_NE(keys[0xFF], 0);
  EXPECT_EQ(keys[0x21], 0);
}

TEST(KeyboardSetUp, AcquiresAndReleasesTheDevice) {
  InputRig rig;
  {
    CInput input(&rig.keyboard, &rig.settings, &rig.messages);
    EXPECT_TRUE(rig.keyboard.m_bAcquired);
    EXPECT_TRUE(rig.messages.Messages().empty());
  }
  EXPECT_FALSE(rig.keyboard.m_bAcquired);
  EXPECT_EQ(rig.keyboard.m_nReleaseCount, 1);
}

TEST(KeyboardSetUp, EachFailureIsReportedAndSetUpGoesOn) {
  InputRig rig;
  rig.keyboard.m_bFailSetDataFormat = true;
  {
    CInput input(&rig.keyboard, &rig.settings, &rig.messages);
    EXPECT_EQ(rig.messages.Messages(), std::vector<std::string>{"Unable to initialize Keyboard..."});
  }
  rig.messages.Clear();
  rig.keyboard.m_bFailSetDataFormat = false;
  rig.keyboard.m_bFailCreateDevice = true;
  {
    CInput input(&rig.keyboard, &rig.settings, &rig.messages);
    const std::vector<std::string> expected = {"Unable to create Direct Keyboard...",
                                               "Unable to initialize Keyboard..."};
    EXPECT_EQ(rig.messages.Messages(), expected);
    Strobe(input);
    rig.keyboard.Press(44);
    EXPECT_EQ(input.ReadPort(0x4016), 0x40) << "no device: no key is down";
  }
  rig.messages.Clear();
  rig.keyboard.m_bFailCreateInputSystem = true;
  CInput input(&rig.keyboard, &rig.settings, &rig.messages);
  EXPECT_EQ(rig.messages.Messages().front(), "Unable to create Direct Input objects...");
}

TEST(KeyboardSetUp, JoystickTypeIsNotSupported) {
  InputRig rig;
  rig.settings.WriteInt("Input", "Type", 1);
  {
    CInput input(&rig.keyboard, &rig.settings, &rig.messages);
    EXPECT_EQ(rig.messages.Messages(), std::vector<std::string>{"Joystick not supported yet."});
    EXPECT_EQ(input.m_bJoystick, 1);
    EXPECT_EQ(rig.keyboard.m_nAcquireCount, 0);
    rig.keyboard.Press(0x01);
    BYTE keys[256] = {};
    input.PollKeyboard(keys);
    EXPECT_EQ(keys[0x01], 0);
  }
  EXPECT_EQ(rig.keyboard.m_nReleaseCount, 0);
}
