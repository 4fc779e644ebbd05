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

void Strobe(CInput& input) {
  input.WritePort(0x4016, 1);
  input.WritePort(0x4016, 0);
}
}  // namespace

TEST(ControllerPort, KeysComeFromTheSettingsAndAreReadAtEachRead) {
  SInputRig rig;
  rig.settings.WriteInt("Input", "Right", 0x20);  // D instead of the arrow
  rig.settings.WriteInt("Input", "B", 999);       // outside the key state: never down
  CInput input = rig.Make();
  rig.keyboard.SetKey(28, 0x01);  // Start (Return): any non-zero byte is down
  rig.keyboard.Press(0x20);
  rig.keyboard.Press(46);  // B's first-run key, no longer B's
  Strobe(input);
  const int nReads = rig.keyboard.m_nStateReads;
  std::vector<int> buttons;
  for (int i = 0; i < 8; ++i) buttons.push_back(input.ReadPort(0x4016));
  EXPECT_EQ(buttons, (std::vector<int>{0x40, 0x40, 0x40, 0x41, 0x40, 0x40, 0x40, 0x41}));
  EXPECT_EQ(rig.keyboard.m_nStateReads, nReads + 8);
  BYTE keys[256] = {};
  input.PollKeyboard(keys);
  EXPECT_EQ(keys[28], 0x01);
  EXPECT_EQ(keys[0x21], 0);
}

TEST(KeyboardSetUp, EachFailureIsReportedAndSetUpGoesOn) {
  struct SCase {
    bool bInputSystem, bDevice, bFormat, bJoystick;
    std::vector<std::string> messages;
  };
  const std::string create = "Unable to create Direct Keyboard...",
                    init = "Unable to initialize Keyboard...";
  const SCase cases[] = {
      {false, false, false, false, {}},
      {false, false, true, false, {init}},
      {false, true, false, false, {create, init}},
      {true, false, false, false, {"Unable to create Direct Input objects...", create, init}},
      {false, false, false, true, {"Joystick not supported yet."}},
  };
  for (const SCase& c : cases) {
    SInputRig rig;
    rig.keyboard.m_bFailCreateInputSystem = c.bInputSystem;
    rig.keyboard.m_bFailCreateDevice = c.bDevice;
    rig.keyboard.m_bFailSetDataFormat = c.bFormat;
    rig.settings.WriteInt("Input", "Type", c.bJoystick);
    const bool bDevice = !c.bInputSystem && !c.bDevice && !c.bJoystick;
    {
      CInput input = rig.Make();
      EXPECT_EQ(rig.messages.Messages(), c.messages);
      EXPECT_EQ(input.Keyboard() != nullptr, bDevice);
      Strobe(input);
      rig.keyboard.Press(44);
      EXPECT_EQ(input.ReadPort(0x4016), bDevice ? 0x41 : 0x40) << "without a device no key is down";
      EXPECT_EQ(rig.keyboard.m_bAcquired, bDevice);
    }
    EXPECT_EQ(rig.keyboard.m_nReleaseCount, bDevice ? 1 : 0);
  }
}
