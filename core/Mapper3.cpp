#include "core/Mapper3.h"

#include <algorithm>
#include <cstring>

#include "core/ImageCopy.h"
#include "core/Rom.h"
#include "ppu/Ppu.h"
#include "video/GraphicEngine.h"

namespace {
constexpr int kChrBankSize = 8192;
}

CMapper3::CMapper3(CRom* pRom, CPpu* pPpu)
    : CMapper(pPpu), m_pPrgWindow(32768), m_pChr(pRom->m_nChrSize) {
  const long chrOffset = CopyPrgWindow(*pRom, m_pPrgWindow.data());
  CopyImageBytes(*pRom, chrOffset, m_pChr.data(), m_pChr.size());
  CopyChrBank(0, false);
  m_pPrgView = m_pPrgWindow.data();
}

void CMapper3::CopyChrBank(int nBank, bool bNotify) {
  // A board without CHR data has nothing to switch; its pattern memory is
  // left to the data port.
  if (m_pChr.empty() || !m_pPpu) return;
  const int nBanks = static_cast<int>((m_pChr.size() + kChrBankSize - 1) / kChrBankSize);
  const std::size_t start = static_cast<std::size_t>(nBank % nBanks) * kChrBankSize;
  const std::size_t n =
      m_pChr.size() - start < kChrBankSize ? m_pChr.size() - start : kChrBankSize;
  // Games write the bank register every frame, mostly with the bank already
  // in place: then no byte changes and the engine, told of every earlier
  // change, has nothing to redraw.
  BYTE* pVram = m_pPpu->m_Vram;
  const bool bSame = std::memcmp(pVram, m_pChr.data() + start, n) == 0 &&
                     std::all_of(pVram + n, pVram + kChrBankSize, [](BYTE b) { return b == 0; });
  if (bSame) return;
  std::memcpy(pVram, m_pChr.data() + start, n);
  if (n < kChrBankSize) std::memset(pVram + n, 0, kChrBankSize - n);
  if (bNotify && m_pPpu->m_pEngine)
    m_pPpu->m_pEngine->UpdatePatterns(0, kChrBankSize);
}

BYTE CMapper3::ReadByte(WORD addr) {
  return ReadPrgView(addr);
}

WORD CMapper3::ReadWord(WORD addr) {
  return WordFromBytes(addr);
}

void CMapper3::WriteByte(WORD addr, BYTE value) {
  m_nBank = value;
  if (addr >= 0x8000) CopyChrBank(value, true);
}
