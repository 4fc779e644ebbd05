#include "ppu/Ppu.h"

#include <cstring>

#include "core/Ram.h"
#include "platform/SettingsStore.h"
#include "ppu/MasterPalette.h"
#include "video/GraphicEngine.h"

bool CPpu::s_bWriteToggle = false;

CPpu::CPpu() = default;

CPpu::CPpu(CRam* pRam, BYTE vertical, ISettingsStore* pSettings)
    : m_pRam(pRam), m_bVertical(vertical ? 1 : 0), m_pSettings(pSettings) {
  std::memcpy(m_RgbPalette, kMasterPalette, sizeof(m_RgbPalette));
}

WORD CPpu::MirrorNameTable(WORD addr) const {
  if (addr < 0x2400) return addr;
  if (addr < 0x2800) return m_bVertical ? addr : static_cast<WORD>(addr - 0x400);
  if (addr < 0x2C00) return static_cast<WORD>(addr - (m_bVertical ? 0x800 : 0x400));
  return static_cast<WORD>(addr - 0x800);
}

void CPpu::Reset() {
  m_Control = m_Mask = m_Status = m_SpriteAddr = 0;
  m_bFullScreen = (m_pSettings && m_pSettings->GetInt("Settings", "Full Screen", 0) != 0) ? 1 : 0;
  m_nFineX = 0;
  m_nFineY = 0;
  m_TempAddr = 0;
  m_VramAddr = 0;
  m_ReadBuffer = 0;
  if (m_pEngine) {
    m_pEngine->Init();
    m_pEngine->UpdatePatterns(0, 0x2000);
  }
  s_bWriteToggle = false;
}

BYTE CPpu::PeekRegister(WORD addr) const {
  switch (addr) {
    case 0x2000:
      return m_Control;
    case 0x2001:
      return m_Mask;
    case 0x2002:
      return m_Status;
    case 0x2003:
      return m_SpriteAddr;
    case 0x2006:
      return static_cast<BYTE>(m_VramAddr & 0xFF);
    default:  // 0x2004, 0x2005, 0x4014
      return 0;
  }
}

BYTE CPpu::ReadRegister(WORD addr) {
  if (addr == 0x2007) return ReadData();
  const BYTE value = PeekRegister(addr);
  if (addr == 0x2002) {
    m_Status &= 0x7F;
    s_bWriteToggle = false;
  }
  return value;
}

void CPpu::WriteRegister(WORD addr, BYTE value) {
  switch (addr) {
    case 0x2000:
      m_Control = value;
      m_TempAddr = static_cast<WORD>((m_TempAddr & 0xF3FF) | ((value & 3) << 10));
      break;
    case 0x2001:
      m_Mask = value;
      break;
    case 0x2002:
      m_Status = value;
      break;
    case 0x2003:
      m_SpriteAddr = value;
      break;
    case 0x2004:
      m_SpriteRam[m_SpriteAddr++] = value;  // BYTE: wraps at 256
      break;
    case 0x2005:
      WriteScroll(value);
      break;
    case 0x2006:
      WriteAddress(value);
      break;
    case 0x2007:
      WriteData(value);
      break;
    case 0x4014:
      SpriteDma(value);
      break;
    default:
      break;
  }
}

void CPpu::WriteScroll(BYTE value) {
  if (!s_bWriteToggle) {
    s_bWriteToggle = true;
    if ((m_TempAddr & 0x1F) == 0x1F && (value & 0xF8) == 0) m_TempAddr ^= 0x400;
    m_TempAddr = static_cast<WORD>((m_TempAddr & 0xFFE0) | (value >> 3));
    m_nFineX = value & 7;
  } else {
    s_bWriteToggle = false;
    if ((m_TempAddr & 0x3E0) == 0x3A0 && (value & 0xF8) == 0) m_TempAddr ^= 0x800;
    m_TempAddr = static_cast<WORD>((m_TempAddr & 0x8C1F) | ((value & 0xF8) << 2) |
                                   ((value & 7) << 12));
    m_nFineY = value & 7;
  }
}

void CPpu::WriteAddress(BYTE value) {
  if (!s_bWriteToggle) {
    s_bWriteToggle = true;
    m_TempAddr = static_cast<WORD>(((value & 0x3F) << 8) | (m_TempAddr & 0x00FF));
    m_nFineY = (m_TempAddr >> 12) & 7;
  } else {
    s_bWriteToggle = false;
    m_TempAddr = static_cast<WORD>((m_TempAddr & 0xFF00) | value);
    m_VramAddr = m_TempAddr;
  }
}

void CPpu::AdvanceVramAddr() {
  m_VramAddr = static_cast<WORD>(m_VramAddr + ((m_Control & 0x04) ? 32 : 1));
}

BYTE CPpu::StoredByte(WORD a) const {
  if (a < 0x2000) return m_Vram[a];
  // 0x3000-0x3EFF is never stored; it reads as its 0x2000-0x2EFF mirror.
  return m_Vram[MirrorNameTable(static_cast<WORD>(0x2000 | (a & 0x0FFF)))];
}

BYTE CPpu::ReadData() {
  // Reads answer one access late through a buffer, as the console's do, so
  // programs that throw the first read away get their data. The palette
  // answers at once and leaves the name-table byte beneath it in the buffer.
  m_VramAddr &= 0x3FFF;
  const WORD a = m_VramAddr;
  BYTE result;
  if (a < 0x3F00) {
    result = m_ReadBuffer;
    m_ReadBuffer = StoredByte(a);
  } else {
    result = (a & 0x10) ? m_SpritePalette[a & 0x0F] : m_BgPalette[a & 0x0F];
    m_ReadBuffer = StoredByte(static_cast<WORD>(a - 0x1000));
  }
  AdvanceVramAddr();
  return result;
}

void CPpu::WriteData(BYTE value) {
  m_VramAddr &= 0x3FFF;
  const WORD a = m_VramAddr;
  if (m_Status & 0x10) return;
  if (a < 0x2000) {
    if (!m_bPatternRom) {
      m_Vram[a] = value;
      if (m_pEngine) m_pEngine->UpdatePattern(a);
    }
  } else if (a < 0x3000) {
    const WORD p = MirrorNameTable(a);
    m_Vram[p] = value;
    if (m_pEngine) m_pEngine->UpdateNameTable(p);
  } else if (a >= 0x3F00) {
    WritePalette(a, value);
  }
  AdvanceVramAddr();
}

void CPpu::WritePalette(WORD a, BYTE value) {
  const BYTE c = value & 0x3F;
  const BYTE i = a & 0x0F;
  auto setBg = [&](BYTE index) {
    m_BgPalette[index] = c;
    if (m_pEngine) m_pEngine->UpdateBgPalette(index);
  };
  auto setSprite = [&](BYTE index) {
    m_SpritePalette[index] = c;
    if (m_pEngine) m_pEngine->UpdateSpritePalette(index);
  };
  if (!(a & 0x10)) {
    setBg(i);
    if ((a & 3) == 0) setSprite(i);
  } else {
    setSprite(i);
    if ((a & 3) == 0) setBg(i);
  }
  if ((a & 0x0F) == 0) {
    for (BYTE k = 0; k < 16; k += 4) {
      setBg(k);
      setSprite(k);
    }
  }
}

void CPpu::SpriteDma(BYTE page) {
  if (!m_pRam) return;
  for (int i = 0; i < 256; ++i)
    m_SpriteRam[i] = m_pRam->ReadByte(static_cast<WORD>(((page * 256) + i) & 0x7FF));
}

void CPpu::StartVBlank() {
  m_Status |= 0x80;
  if (!m_pEngine) return;
  if (!(m_Mask & 0x08)) m_pEngine->ClearScreen(0, 0, 0);
  if (m_Mask & 0x10) m_pEngine->DrawSprites(1);
  m_pEngine->EndFrame();
  const BYTE* rgb = m_RgbPalette[m_BgPalette[0] & 0x3F];
  m_pEngine->ClearScreen(rgb[0], rgb[1], rgb[2]);
  if (m_Mask & 0x10) m_pEngine->DrawSprites(0);
}

void CPpu::EndVBlank() {
  m_TempAddr &= 0xFFE0;
  m_Status &= 0x3F;
  // Either layer shown makes the picture processor fetch, and so reload.
  if (m_Mask & 0x18) m_VramAddr = m_TempAddr;
}
