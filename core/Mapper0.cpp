#include "core/Mapper0.h"

#include <algorithm>
#include <cstring>

#include "core/ImageCopy.h"
#include "core/Rom.h"
#include "platform/MessageBox.h"
#include "ppu/Ppu.h"

CMapper0::CMapper0(CRom* pRom, CPpu* pPpu, IMessageBox* pMessageBox)
    : CMapper(pPpu), m_Sram{}, m_pMessageBox(pMessageBox) {
  const long chrOffset = CopyPrgWindow(*pRom, m_Prg);
  m_pChr.resize(pRom->m_nChrSize);
  CopyImageBytes(*pRom, chrOffset, m_pChr.data(), m_pChr.size());
  if (!m_pChr.empty() && m_pPpu)
    std::memcpy(m_pPpu->m_Vram, m_pChr.data(), std::min<std::size_t>(m_pChr.size(), 0x2000));
  m_pPrgView = m_Prg;
}

BYTE CMapper0::ReadByte(WORD addr) {
  if (addr >= 0x8000) return m_Prg[addr - 0x8000];
  if (addr >= 0x6000) return m_Sram[addr - 0x6000];
  return 0;
}

void CMapper0::WriteByte(WORD addr, BYTE value) {
  if (addr >= 0x6000 && addr < 0x8000) m_Sram[addr - 0x6000] = value;
}

WORD CMapper0::ReadWord(WORD addr) {
  // 0x7FFF pairs with 0x8000; 0xFFFF with 0x0000, which belongs to no window
  // and reads 0.
  return WordFromBytes(addr);
}

void CMapper0::WriteWord(WORD addr, WORD /*value*/) {
  if (!m_pMessageBox) return;
  if (addr >= 0x8000)
    m_pMessageBox->Show("Error: Trying to write to cartridge ROM");
  else
    m_pMessageBox->Show("CMapper0::WriteWord.");
}
