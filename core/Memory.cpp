#include "core/Memory.h"

BYTE CMemory::ReadByteSlow(WORD addr) {
  if (addr < 0x4000) return m_pPpu->ReadRegister(addr & 0x2007);
  if (addr == 0x4014) return m_pPpu->ReadRegister(0x4014);
  if (addr < 0x4016) return m_pApu->ReadRegister(addr);
  if (addr == 0x4016 || addr == 0x4017) return m_pInput->ReadPort(addr);
  if (addr < 0x6000) return 0;
  return m_pMapper->ReadByte(addr);
}

void CMemory::WriteByteSlow(WORD addr, BYTE value) {
  if (addr < 0x4000) {
    m_pPpu->WriteRegister(addr & 0x2007, value);
  } else if (addr == 0x4014) {
    m_pPpu->WriteRegister(0x4014, value);
  } else if (addr < 0x4016) {
    m_pApu->WriteRegister(addr, value);
  } else if (addr == 0x4016 || addr == 0x4017) {
    m_pInput->WritePort(addr, value);
  } else if (addr >= 0x6000) {
    m_pMapper->WriteByte(addr, value);
  }
}

WORD CMemory::ReadWordSlow(WORD addr) {
  // Device registers are never read by a word access.
  if (addr < 0x6000) return 0;
  return m_pMapper->ReadWord(addr);
}

BYTE CMemory::PeekByte(WORD addr) const {
  if (addr < 0x2000) return m_pRam->m_data[addr & 0x7FF];
  if (addr < 0x6000) return 0;
  if (addr >= 0x8000 && m_pPrgView) return m_pPrgView[addr - 0x8000];
  return m_pMapper->ReadByte(addr);
}
