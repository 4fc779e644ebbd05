#pragma once

#include "platform/Types.h"

class CRam;
class CGraphicEngine;
class ISettingsStore;

// The picture processor as the CPU sees it: registers, PPU memory, sprite
// memory and palettes. It draws nothing; every change of picture memory goes
// straight to the current graphic engine, which reads these fields directly.
class CPpu {
 public:
  CPpu();
  CPpu(CRam* pRam, BYTE vertical, ISettingsStore* pSettings = nullptr);
  virtual ~CPpu() = default;

  void SetEngine(CGraphicEngine* pEngine) { m_pEngine = pEngine; }
  void Reset();
  BYTE ReadRegister(WORD addr);
  // What ReadRegister would return for 0x2000-0x2006, without its side
  // effects.
  BYTE PeekRegister(WORD addr) const;
  void WriteRegister(WORD addr, BYTE value);
  void StartVBlank();
  void EndVBlank();

  // Physical VRAM address of a name-table address 0x2000-0x2FFF.
  WORD MirrorNameTable(WORD addr) const;
  static bool WriteToggle() { return s_bWriteToggle; }

  CRam* m_pRam = nullptr;
  CGraphicEngine* m_pEngine = nullptr;
  int m_nFineY = 0;
  BYTE m_nFineX = 0;
  BYTE m_bFullScreen = 0;
  BYTE m_bVertical = 0;
  BYTE m_Vram[0x4000] = {};
  BYTE m_SpriteRam[256] = {};
  BYTE m_RgbPalette[64][3] = {};
  BYTE m_SpritePalette[16] = {};
  BYTE m_BgPalette[16] = {};
  BYTE m_Control = 0;
  BYTE m_Mask = 0;
  BYTE m_Status = 0;
  BYTE m_SpriteAddr = 0;
  WORD m_TempAddr = 0;
  WORD m_VramAddr = 0;
  // What the next data-port read below the palette returns.
  BYTE m_ReadBuffer = 0;
  // The cartridge's patterns are ROM: data-port writes below 0x2000 reach
  // nothing. Set by the machine for images with CHR data.
  BYTE m_bPatternRom = 0;

 private:
  void WriteScroll(BYTE value);
  void WriteAddress(BYTE value);
  BYTE ReadData();
  BYTE StoredByte(WORD a) const;
  void WriteData(BYTE value);
  void WritePalette(WORD a, BYTE value);
  void AdvanceVramAddr();
  void SpriteDma(BYTE page);

  ISettingsStore* m_pSettings = nullptr;
  // Shared by every PPU; only one is in use at a time.
  static bool s_bWriteToggle;
};
