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
    m_log.push_back("R" + std::to_string(addr));
    return static_cast<BYTE>(addr & 0xFF);
  }
  void WriteByte(WORD addr, BYTE value) override {
    m_log.push_back("W" + std::to_string(addr) + "=" + std::to_string(value));
  }
  WORD ReadWord(WORD addr) override {
    m_log.push_back("RW" + std::to_string(addr));
    return 0xBEEF;
  }
  std::vector<std::string> m_log;
};

struct BusRig {
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

TEST(Ram, StartsZeroedAndWordsTakeTheNextByte) {
  CRam ram;
  for (int i = 0; i < 0x800; ++i) ASSERT_EQ(ram.ReadByte(static_cast<WORD>(i)), 0);
  ram.WriteByte(0x7FF, 0x12);
  EXPECT_EQ(ram.ReadByte(0x7FF), 0x12);
  ram.WriteByte(0x0FF, 0x34);
  ram.WriteByte(0x100, 0x12);
  EXPECT_EQ(ram.ReadWord(0x0FF), 0x1234);
  ram.WriteByte(0x000, 0x56);
  EXPECT_EQ(ram.ReadWord(0x7FF), 0x5612) << "the store wraps at its end";
}

TEST(Apu, ReadsZeroAndSwallowsWrites) {
  CApu apu;
  for (WORD a : {0x4000, 0x4008, 0x4013, 0x4015}) {
    apu.WriteRegister(a, 0xFF);
    EXPECT_EQ(apu.ReadRegister(a), 0);
  }
}

TEST(Bus, WorkRamIsMirroredFourTimes) {
  BusRig rig;
  rig.bus.WriteByte(0x0000, 0x42);
  for (WORD a : {0x0800, 0x1000, 0x1800}) EXPECT_EQ(rig.bus.ReadByte(a), 0x42);
  rig.bus.WriteByte(0x1FFF, 0x24);
  EXPECT_EQ(rig.ram.ReadByte(0x7FF), 0x24);
}

TEST(Bus, PpuRegistersRepeatEveryEightBytes) {
  BusRig rig;
  rig.bus.WriteByte(0x3456, 0x21);  // 0x2006
  rig.bus.WriteByte(0x2006, 0x08);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2108);
  rig.ppu.m_Status = 0x80;
  EXPECT_EQ(rig.bus.ReadByte(0x2FFA), 0x80);  // 0x2002
  EXPECT_EQ(rig.ppu.m_Status, 0x00);
}

TEST(Bus, SoundAndUnmappedAreasReadZeroAndNeverReachTheCartridge) {
  BusRig rig;
  for (WORD a : {0x4000, 0x4013, 0x4014, 0x4015, 0x4018, 0x5000, 0x5FFF}) {
    EXPECT_EQ(rig.bus.ReadByte(a), 0) << std::hex << a;
    if (a != 0x4014) rig.bus.WriteByte(a, 0x55);
  }
  EXPECT_TRUE(rig.mapper.m_log.empty());
}

TEST(Bus, SpriteDmaReadsWorkRamDirectly) {
  BusRig rig;
  for (int i = 0; i < 256; ++i) rig.ram.WriteByte(static_cast<WORD>(0x200 + i), static_cast<BYTE>(255 - i));
  rig.bus.WriteByte(0x2003, 0x80);
  rig.bus.WriteByte(0x4014, 0x02);
  EXPECT_EQ(rig.ppu.m_SpriteRam[0], 255);
  EXPECT_EQ(rig.ppu.m_SpriteRam[255], 0);
  for (int i = 0; i < 256; ++i) rig.ram.WriteByte(static_cast<WORD>(0x700 + i), static_cast<BYTE>(i));
  rig.bus.WriteByte(0x4014, 0x07);
  EXPECT_EQ(rig.ppu.m_SpriteRam[17], 17);
}

TEST(Bus, ControllerPortSeesBothAddresses) {
  BusRig rig;
  rig.keyboard.Press(44);
  rig.bus.WriteByte(0x4017, 1);
  rig.bus.WriteByte(0x4016, 0);
  EXPECT_EQ(rig.bus.ReadByte(0x4016), 0x41);
  EXPECT_EQ(rig.bus.ReadByte(0x4017), 0x40);
}

TEST(Bus, CartridgeSpaceGoesToTheMapper) {
  BusRig rig;
  EXPECT_EQ(rig.bus.ReadByte(0x6001), 0x01);
  rig.bus.WriteByte(0x8000, 7);
  EXPECT_EQ(rig.bus.ReadWord(0xFFFC), 0xBEEF);
  const std::vector<std::string> expected = {"R24577", "W32768=7", "RW65532"};
  EXPECT_EQ(rig.mapper.m_log, expected) << "a word is one mapper access, not two byte reads";
}

TEST(Bus, WordReadsHaveNoSideEffects) {
  BusRig rig;
  rig.ppu.m_Status = 0x80;
  EXPECT_EQ(rig.bus.ReadWord(0x2002), 0);
  EXPECT_EQ(rig.ppu.m_Status, 0x80);
  rig.bus.WriteByte(0x4016, 1);
  rig.bus.WriteByte(0x4016, 0);
  EXPECT_EQ(rig.bus.ReadWord(0x4016), 0);
  EXPECT_EQ(rig.input.m_readCount, 0);
  EXPECT_EQ(rig.bus.ReadWord(0x5000), 0);
  EXPECT_TRUE(rig.mapper.m_log.empty());
}

TEST(Bus, WordReadsInRamTakeTheNextByteOfTheStore) {
  BusRig rig;
  rig.ram.WriteByte(0x0FF, 0x34);
  rig.ram.WriteByte(0x100, 0x12);
  rig.ram.WriteByte(0x000, 0x99);
  EXPECT_EQ(rig.bus.ReadWord(0x00FF), 0x1234);
  EXPECT_EQ(rig.bus.ReadWord(0x08FF), 0x1234);
  rig.ram.WriteByte(0x7FF, 0x77);
  EXPECT_EQ(rig.bus.ReadWord(0x1FFF), 0x9977);
}

TEST(Bus, PeekReadsWithoutSideEffects) {
  BusRig rig;
  rig.ppu.m_Status = 0x80;
  EXPECT_EQ(rig.bus.PeekByte(0x2002), 0);
  EXPECT_EQ(rig.ppu.m_Status, 0x80);
  rig.ram.WriteByte(0x10, 5);
  EXPECT_EQ(rig.bus.PeekByte(0x0810), 5);
  EXPECT_EQ(rig.bus.PeekByte(0x7000), 0x00);
}
