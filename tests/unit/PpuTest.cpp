// The 6502 programs (cpu_console, the picture programs) and the frame-state
// hashes cover the PPU as games drive it (the data port's increments, pattern
// ROM, palette entry 0, the scroll and address bits, the end of vertical
// blank); here the corners they do not reach.
#include <gtest/gtest.h>

#include <initializer_list>

#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"

namespace {
struct SPpuRig {
  CPpu ppu;
  CRecordingEngine engine{&ppu};

  explicit SPpuRig(BYTE vertical = 0) : ppu(nullptr, vertical) {
    ppu.SetEngine(&engine);
    ppu.Reset();
    engine.m_calls.clear();
  }
  void Regs(WORD reg, std::initializer_list<int> values) {
    for (int v : values) ppu.WriteRegister(reg, static_cast<BYTE>(v));
  }
  void Write(WORD a, BYTE v) {
    Regs(0x2006, {a >> 8, a & 0xFF});
    ppu.WriteRegister(0x2007, v);
  }
  BYTE Read(WORD a) {
    Regs(0x2006, {a >> 8, a & 0xFF});
    return ppu.ReadRegister(0x2007);
  }
};
}  // namespace

TEST(PpuDataPort, MirroringReadBufferDroppedWritesAndPalettes) {
  // Where a name-table write lands, horizontal then vertical; reading it back
  // through 0x3000-0x3EFF and bits above 14 finds the same byte.
  const int tables[][3] = {
      {0x2400, 0x2000, 0x2400}, {0x2805, 0x2405, 0x2005}, {0x2C05, 0x2405, 0x2405}};
  for (BYTE vertical : {0, 1})
    for (const auto& t : tables) {
      SPpuRig rig(vertical);
      const WORD physical = static_cast<WORD>(t[1 + vertical]);
      rig.Write(static_cast<WORD>(t[0]), 0x11);
      EXPECT_EQ(rig.engine.m_calls.back(), "UpdateNameTable(" + std::to_string(physical) + ")");
      EXPECT_EQ(rig.Read(static_cast<WORD>(t[0] | 0x5000)), 0) << "one read late";
      EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x11);
    }
  SPpuRig rig;
  rig.Write(0x3456, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x3457) << "a dropped 0x3000 write still advances";
  rig.ppu.m_bPatternRom = 1;
  rig.Write(0x0123, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x0124) << "so does one to pattern ROM";
  EXPECT_TRUE(rig.engine.m_calls.empty());
  // A palette entry other than 0, 4, 8 or 12 is its palette's own; the
  // palettes show again every 32 bytes up to 0x3FFF.
  rig.Write(0x3F05, 0x30);
  rig.Write(0x3F3C, 0x12);  // a mirror of 0x3F1C
  EXPECT_EQ(rig.ppu.m_SpritePalette[5], 0);
  EXPECT_EQ(rig.ppu.m_BgPalette[12], 0x12);
}

TEST(PpuRegisters, AStatusReadAndAResetClearTheWriteToggle) {
  SPpuRig rig;
  rig.Regs(0x2006, {0x3F});  // a first write
  rig.ppu.ReadRegister(0x2002);
  EXPECT_FALSE(CPpu::WriteToggle());
  rig.Regs(0x2006, {0x21});
  rig.ppu.Reset();
  EXPECT_FALSE(CPpu::WriteToggle());
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 2 * 0x2000) << "every pattern, at each reset";
}
