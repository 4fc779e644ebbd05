#include <gtest/gtest.h>

#include <string>
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
// A cartridge that records every access the bus forwards to it.
class CRecordingMapper : public CMapper {
 public:
  BYTE ReadByte(WORD addr) override {
    m_log.push_back(addr);
    return static_cast<BYTE>(addr & 0xFF);
  }
  void WriteByte(WORD addr, BYTE value) override { m_log.push_back(addr | value << 16); }
  WORD ReadWord(WORD addr) override {
    m_log.push_back(addr | 0x1000000);
    return 0xBEEF;
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

TEST(Bus, DecodesRamPpuSoundPortAndCartridge) {
  SBusRig rig;
  rig.bus.WriteByte(0x1800, 0x42);  // RAM, mirrored four times
  EXPECT_EQ(rig.bus.ReadByte(0x0000), 0x42);
  rig.bus.WriteByte(0x3456, 0x21);  // 0x2006: the registers repeat every 8 bytes
  rig.bus.WriteByte(0x2006, 0x08);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2108);
  rig.ppu.m_Status = 0x80;
  EXPECT_EQ(rig.bus.ReadByte(0x2FFA), 0x80);  // 0x2002, which clears bit 7
  EXPECT_EQ(rig.ppu.m_Status, 0);
  for (WORD a : {0x4000, 0x4013, 0x4014, 0x4015, 0x4018, 0x5FFF}) {
    EXPECT_EQ(rig.bus.ReadByte(a), 0) << std::hex << a;
    if (a != 0x4014) rig.bus.WriteByte(a, 0x55);
  }
  rig.keyboard.Press(44);
  rig.bus.WriteByte(0x4017, 1);
  rig.bus.WriteByte(0x4016, 0);
  EXPECT_EQ(rig.bus.ReadByte(0x4016), 0x41);
  EXPECT_TRUE(rig.mapper.m_log.empty()) << "nothing below 0x6000 reaches the cartridge";

  for (int i = 0; i < 256; ++i)
    rig.ram.WriteByte(static_cast<WORD>(0x700 + i), static_cast<BYTE>(i));
  rig.bus.WriteByte(0x2003, 0x80);
  rig.bus.WriteByte(0x4014, 0x07);  // DMA: all of sprite memory from work RAM
  EXPECT_EQ(rig.ppu.m_SpriteRam[0], 0);
  EXPECT_EQ(rig.ppu.m_SpriteRam[255], 255);

  EXPECT_EQ(rig.bus.ReadByte(0x6001), 0x01);
  rig.bus.WriteByte(0x8000, 7);
  EXPECT_EQ(rig.bus.ReadWord(0xFFFC), 0xBEEF);
  EXPECT_EQ(rig.mapper.m_log, (std::vector<int>{0x6001, 0x8000 | 7 << 16, 0xFFFC | 0x1000000}))
      << "a word is one mapper access, not two byte reads";
}

TEST(Bus, WordReadsAndPeeksHaveNoSideEffects) {
  SBusRig rig;
  rig.ram.WriteByte(0x0FF, 0x34);
  rig.ram.WriteByte(0x100, 0x12);
  rig.ram.WriteByte(0x000, 0x99);
  rig.ram.WriteByte(0x7FF, 0x77);
  EXPECT_EQ(rig.bus.ReadWord(0x08FF), 0x1234);
  EXPECT_EQ(rig.bus.ReadWord(0x1FFF), 0x9977) << "the high byte comes from the store's start";
  rig.ppu.m_Status = 0x80;
  rig.bus.WriteByte(0x4016, 1);
  rig.bus.WriteByte(0x4016, 0);
  for (WORD a : {0x2002, 0x4016, 0x5000}) {
    EXPECT_EQ(rig.bus.ReadWord(a), 0);
    EXPECT_EQ(rig.bus.PeekByte(a), 0);
  }
  EXPECT_EQ(rig.ppu.m_Status, 0x80);
  EXPECT_EQ(rig.input.m_readCount, 0);
  EXPECT_EQ(rig.bus.PeekByte(0x08FF), 0x34);
  EXPECT_TRUE(rig.mapper.m_log.empty());
}

TEST(RamAndSound, RamStartsZeroedSoundReadsZero) {
  CRam ram;
  for (int i = 0; i < 0x800; ++i) ASSERT_EQ(ram.ReadByte(static_cast<WORD>(i)), 0);
  CApu apu;
  for (WORD a : {0x4000, 0x4008, 0x4015}) {
    apu.WriteRegister(a, 0xFF);
    EXPECT_EQ(apu.ReadRegister(a), 0);
  }
}
