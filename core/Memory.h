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
        m_pRamData(pRam ? pRam->m_data : nullptr),
        m_pPrgView(pMapper ? pMapper->PrgWindow() : nullptr) {}
  virtual ~CMemory() = default;

  // The decode itself lives in SBusFastPath below, so there is one copy.
  BYTE ReadByte(WORD addr);
  void WriteByte(WORD addr, BYTE value);
  // One access to the backing store: the high byte is the store's next byte,
  // and no device register is touched.
  WORD ReadWord(WORD addr);

  // Reads without side effects, for traces and memory dumps: device
  // registers read as 0.
  BYTE PeekByte(WORD addr) const;
  // The mapper's 32 KB window on cartridge space, or null.
  const BYTE* PrgWindow() const { return m_pPrgView; }

  CApu* m_pApu = nullptr;
  CInput* m_pInput = nullptr;
  CMapper* m_pMapper = nullptr;
  CRam* m_pRam = nullptr;
  CPpu* m_pPpu = nullptr;

  // The decode outside work RAM and the PRG window.
  BYTE ReadByteSlow(WORD addr);
  void WriteByteSlow(WORD addr, BYTE value);
  WORD ReadWordSlow(WORD addr);

 private:
  template <class User>
  friend struct TBusFastPath;

  BYTE* m_pRamData = nullptr;
  const BYTE* m_pPrgView = nullptr;
};

// The bus's decode with its pointers copied out, so the CPU can hold them in
// registers while it runs a burst of instructions instead of reloading them
// after every store. Program fetches are the most common access, so
// cartridge ROM is tested first: a plain index into the mapper's 32 KB window.
// Every other access goes to the user's ReadDevice, WriteDevice or
// ReadDeviceWord: the user derives from this, and can note there that the
// access may have reached the rest of the program.
template <class User>
struct TBusFastPath {
  explicit TBusFastPath(const CMemory* pMemory)
      : pRam(pMemory->m_pRamData), pPrg(pMemory->m_pPrgView) {}

  [[gnu::always_inline]] BYTE ReadByte(WORD addr) {
    if (addr >= 0x8000 && pPrg) return pPrg[addr - 0x8000];
    if (addr < 0x2000) [[likely]] return pRam[addr & 0x7FF];
    return static_cast<User*>(this)->ReadDevice(addr);
  }
  [[gnu::always_inline]] void WriteByte(WORD addr, BYTE value) {
    if (addr < 0x2000) [[likely]] {
      pRam[addr & 0x7FF] = value;
      return;
    }
    static_cast<User*>(this)->WriteDevice(addr, value);
  }
  [[gnu::always_inline]] WORD ReadWord(WORD addr) {
    if (addr >= 0x8000 && addr != 0xFFFF && pPrg)
      return static_cast<WORD>(pPrg[addr - 0x8000] | (pPrg[addr - 0x7FFF] << 8));
    if (addr < 0x2000) [[likely]]
      return static_cast<WORD>(pRam[addr & 0x7FF] | (pRam[(addr + 1) & 0x7FF] << 8));
    return static_cast<User*>(this)->ReadDeviceWord(addr);
  }

  BYTE* pRam;
  const BYTE* pPrg;
};

// The plain bus user: the rest of the decode, out of line.
struct SBusFastPath : TBusFastPath<SBusFastPath> {
  explicit SBusFastPath(CMemory* pMemory) : TBusFastPath(pMemory), pBus(pMemory) {}
  BYTE ReadDevice(WORD addr) { return pBus->ReadByteSlow(addr); }
  void WriteDevice(WORD addr, BYTE value) { pBus->WriteByteSlow(addr, value); }
  WORD ReadDeviceWord(WORD addr) { return pBus->ReadWordSlow(addr); }
  CMemory* pBus;
};

[[gnu::always_inline]] inline BYTE CMemory::ReadByte(WORD addr) {
  return SBusFastPath(this).ReadByte(addr);
}
[[gnu::always_inline]] inline void CMemory::WriteByte(WORD addr, BYTE value) {
  SBusFastPath(this).WriteByte(addr, value);
}
[[gnu::always_inline]] inline WORD CMemory::ReadWord(WORD addr) {
  return SBusFastPath(this).ReadWord(addr);
}
