#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/Apu.h"
#include "core/Memory.h"
#include "core/Ram.h"
#include "input/Input.h"
#include "platform/KeyStateKeyboard.h"
#include "platform/MemorySettingsStore.h"
#include "platform/MessageRecorder.h"
#include "ppu/Ppu.h"

namespace {
// A cartridge that records every access the bus forwards to it: the address,
// a written value above bit 16, and bit 24 for a word read.
class CRecordingMapper : public CMapper {
 public:
  BYTE ReadByte(WORD addr) override { return static_cast<BYTE>(Log(addr)); }
  void WriteByte(WORD addr, BYTE value) override { Log(addr | value << 16); }
  WORD ReadWord(WORD addr) override { return static_cast<WORD>(Log(addr | 0x1000000)); }
  int Log(int entry) {
    m_log.push_back(entry);
    return entry & 0xFF;
  }
  std::vector<int> m_log;
};

struct SBusRig {
  CRam ram;
  CApu apu;
  CPpu ppu{&ram, 0};
  CKeyStateKeyboard keyboard;
  CMemorySettingsStore settings;
  CMessageRecorder messages;
  CInput input{&keyboard, &settings, &messages};
  CRecordingMapper mapper;
  CMemory bus{&mapper, &ram, &ppu, &input, &apu};
};
}  // namespace

TEST(Bus, DecodesRamPpuSoundPortAndCartridgeAndPeeksChangeNothing) {
  SBusRig rig;
  EXPECT_EQ(std::count(rig.ram.m_data, rig.ram.m_data + 0x800, 0), 0x800) << "RAM starts zeroed";
  rig.bus.WriteByte(0x1800, 0x42);  // RAM, mirrored four times
  EXPECT_EQ(rig.bus.ReadByte(0x0000), 0x42);
  rig.bus.WriteByte(0x3456, 0x21);  // 0x2006: the registers repeat every 8 bytes
  rig.bus.WriteByte(0x2006, 0x08);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2108);
  rig.ppu.m_Status = 0x80;
  EXPECT_EQ(rig.bus.ReadByte(0x2FFA), 0x80);  // 0x2002, which clears bit 7
  EXPECT_EQ(rig.ppu.m_Status, 0);
  for (WORD a : {0x4000, 0x4013, 0x4015, 0x4018, 0x5FFF}) {
    rig.bus.WriteByte(a, 0x55);
    EXPECT_EQ(rig.bus.ReadByte(a), 0) << std::hex << a;
  }
  rig.keyboard.Press(44);
  rig.bus.WriteByte(0x4017, 1);  // either port address strobes
  rig.bus.WriteByte(0x4016, 0);
  EXPECT_EQ(rig.bus.ReadByte(0x4016), 0x41);
  EXPECT_TRUE(rig.mapper.m_log.empty()) << "nothing below 0x6000 reaches the cartridge";
  rig.ram.m_data[0x7FF] = 0x99;
  rig.bus.WriteByte(0x4014, 0x07);  // DMA: sprite memory from work RAM
  EXPECT_EQ(rig.ppu.m_SpriteRam[255], 0x99);
  EXPECT_EQ(rig.bus.ReadByte(0x6001), 0x01);
  rig.bus.WriteByte(0x8000, 7);
  EXPECT_EQ(rig.bus.ReadWord(0xFFFC), 0xFC);
  EXPECT_EQ(rig.mapper.m_log, (std::vector<int>{0x6001, 0x8000 | 7 << 16, 0xFFFC | 0x1000000}))
      << "a word is one mapper access, not two byte reads";

  // Word reads and peeks have no side effects.
  rig.mapper.m_log.clear();
  rig.ram.m_data[0x0FF] = 0x34;
  rig.ram.m_data[0x100] = 0x12;
  rig.ram.m_data[0x000] = 0x99;
  rig.ram.m_data[0x7FF] = 0x77;
  EXPECT_EQ(rig.bus.ReadWord(0x08FF), 0x1234);
  EXPECT_EQ(rig.bus.ReadWord(0x1FFF), 0x9977) << "the high byte comes from the store's start";
  rig.ppu.m_Status = 0x80;
  for (WORD a : {0x2002, 0x4016, 0x5000}) {
    EXPECT_EQ(rig.bus.ReadWord(a), 0);
    EXPECT_EQ(rig.bus.PeekByte(a), 0);
  }
  EXPECT_EQ(rig.ppu.m_Status, 0x80);
  EXPECT_EQ(rig.input.m_readCount, 1);
  EXPECT_EQ(rig.bus.PeekByte(0x08FF), 0x34);
  EXPECT_TRUE(rig.mapper.m_log.empty());
}
