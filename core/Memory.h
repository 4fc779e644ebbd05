#pragma once

#include "core/Apu.h"
#include "core/Mapper.h"
#include "core/Ram.h"
#include "input/Input.h"
#include "platform/Types.h"
#include "ppu/Ppu.h"

// The CPU bus: decodes every 16-bit address to work RAM, the PPU registers,
// the sound stub, the controller port or the cartridge. Hot paths are inline.
class CMemory {
 public:
  CMemory() = default;
  CMemory(CMapper* pMapper, CRam* pRam, CPpu* pPpu, CInput* pInput, CApu* pApu)
      : m_pApu(pApu), m_pInput(pInput), m_pMapper(pMapper), m_pRam(pRam), m_pPpu(pPpu),
        m_pPrgView(pMapper ? pMapper->PrgWindow() : nullptr) {}
  virtual ~CMemory() = default;

  BYTE ReadByte(WORD addr) {
    if (addr < 0x2000) return m_pRam->m_data[addr & 0x7FF];
    if (addr >= 0x8000 && m_pPrgView) return m_pPrgView[addr - 0x8000];
    return ReadByteSlow(addr);
  }

  void WriteByte(WORD addr, BYTE value) {
    if (addr < 0x2000) {
      m_pRam->m_data[addr & 0x7FF] = value;
      return;
    }
    WriteByteSlow(addr, value);
  }

  // One access to the backing store: the high byte is the store's next byte,
  // and no device register is touched.
  WORD ReadWord(WORD addr) {
    if (addr < 0x2000) return m_pRam->ReadWord(addr & 0x7FF);
    if (addr < 0x6000) return 0;
    if (addr >= 0x8000 && addr != 0xFFFF && m_pPrgView)
      return static_cast<WORD>(m_pPrgView[addr - 0x8000] | (m_pPrgView[addr - 0x7FFF] << 8));
    return m_pMapper->ReadWord(addr);
  }

  // Reads without side effects, for traces and memory dumps: device
  // registers read as 0.
  BYTE PeekByte(WORD addr) const;

  CApu* m_pApu = nullptr;
  CInput* m_pInput = nullptr;
  CMapper* m_pMapper = nullptr;
  CRam* m_pRam = nullptr;
  CPpu* m_pPpu = nullptr;

 private:
  BYTE ReadByteSlow(WORD addr);
  void WriteByteSlow(WORD addr, BYTE value);

  const BYTE* m_pPrgView = nullptr;
};
