// The 6502 programs (cpu_console, the picture programs) and the frame-state
// hashes cover the PPU as games drive it; here the corners they do not reach.
#include <gtest/gtest.h>

#include <initializer_list>

#include "core/Ram.h"
#include "platform/MemorySettingsStore.h"
#include "ppu/Ppu.h"
#include "support/RecordingEngine.h"

namespace {
struct SPpuRig {
  CRam ram;
  CMemorySettingsStore settings;
  CPpu ppu;
  CRecordingEngine engine{&ppu};

  explicit SPpuRig(BYTE vertical = 0) : ppu(&ram, vertical, &settings) {
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

TEST(PpuDataPort, MirroringReadBufferIncrementDroppedWritesAndPalettes) {
  // Where a name-table write lands, horizontal then vertical; reading it back
  // through 0x3000-0x3EFF and bits above 14 finds the same byte.
  const int tables[][3] = {
      {0x2400, 0x2000, 0x2400}, {0x2805, 0x2405, 0x2005}, {0x2C05, 0x2405, 0x2405}};
  for (BYTE vertical : {0, 1})
    for (const auto& t : tables) {
      SPpuRig rig(vertical);
      const WORD physical = static_cast<WORD>(t[1 + vertical]);
      rig.Write(static_cast<WORD>(t[0]), 0x11);
      EXPECT_EQ(rig.engine.m_calls.back(),
                "UpdateNameTable(" + CRecordingEngine::Hex(physical) + ")");
      EXPECT_EQ(rig.Read(static_cast<WORD>(t[0] | 0x5000)), 0) << "one read late";
      EXPECT_EQ(rig.ppu.ReadRegister(0x2007), 0x11);
    }
  SPpuRig rig;
  rig.Write(0x2108, 0x55);
  rig.Regs(0x2000, {0x04});  // +32 per access from here
  rig.Regs(0x2007, {0xAB, 0xCD});
  EXPECT_EQ(rig.ppu.m_Vram[0x2129], 0xCD);
  rig.engine.m_calls.clear();
  rig.Write(0x3456, 0x99);
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x3476) << "a dropped 0x3000 write still advances";
  rig.ppu.m_bPatternRom = 1;
  rig.Write(0x0123, 0x99);
  EXPECT_EQ(rig.ppu.m_Vram[0x0123], 0) << "pattern ROM";
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x0143);
  EXPECT_TRUE(rig.engine.m_calls.empty());
  // Palette entry 0 sets every fourth entry of both palettes, others their own.
  rig.Write(0x3F00, 0x0F);
  EXPECT_EQ(rig.ppu.m_SpritePalette[12], 0x0F);
  rig.Write(0x3F05, 0x30);
  rig.Write(0x3F3C, 0x12);  // a mirror of 0x3F1C
  EXPECT_EQ(rig.ppu.m_SpritePalette[5], 0);
  EXPECT_EQ(rig.ppu.m_BgPalette[12], 0x12);
}

TEST(PpuRegisters, ToggleScrollResetAndEndOfVerticalBlank) {
  SPpuRig rig;
  rig.Regs(0x2006, {0x3F});      // a first write, then
  rig.ppu.ReadRegister(0x2002);  // the status read clears the toggle
  rig.Regs(0x2000, {0x03});
  rig.Regs(0x2005, {0x7D, 0x5E});  // coarse X 15, fine X 5; coarse Y 11, fine Y 6
  EXPECT_EQ(rig.ppu.m_TempAddr, 0x0C00 | 15 | 11 << 5 | 6 << 12);
  rig.Regs(0x2006, {0x21});  // leave the toggle set
  rig.ppu.Reset();
  EXPECT_EQ(rig.engine.m_nPatternUpdates, 2 * 0x2000) << "every pattern, at each reset";
  EXPECT_FALSE(CPpu::WriteToggle());
  rig.ppu.m_TempAddr = 0x2C7F;
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_VramAddr, 0) << "reloaded only when a layer shows";
  rig.Regs(0x2001, {0x08});
  rig.ppu.EndVBlank();
  EXPECT_EQ(rig.ppu.m_VramAddr, 0x2C60);
}
