#include "core/Mapper2.h"

#include <cstring>

#include "core/ImageCopy.h"
#include "core/Rom.h"

namespace {
constexpr int kBankSize = 16384;
}

CMapper2::CMapper2(CRom* pRom, CPpu* pPpu)
    : CMapper(pPpu), m_pPrg(pRom->m_nPrgSize), m_pPrgWindow(32768) {
  CopyImageBytes(*pRom, 0, m_pPrg.data(), m_pPrg.size());
  CopyBank(0, m_pPrgWindow.data());
  // The upper half is the image's last bank (0x1C000 for 128 KB images).
  CopyBank(BankCount() - 1, m_pPrgWindow.data() + kBankSize);
  m_pPrgView = m_pPrgWindow.data();
}

int CMapper2::BankCount() const {
  const int n = static_cast<int>((m_pPrg.size() + kBankSize - 1) / kBankSize);
  return n > 0 ? n : 1;
}

void CMapper2::CopyBank(int nBank, BYTE* pHalf) {
  const std::size_t start = static_cast<std::size_t>(nBank % BankCount()) * kBankSize;
  std::size_t n = 0;
  if (start < m_pPrg.size()) {
    n = m_pPrg.size() - start < kBankSize ? m_pPrg.size() - start : kBankSize;
    std::memcpy(pHalf, m_pPrg.data() + start, n);
  }
  if (n < kBankSize) std::memset(pHalf + n, 0, kBankSize - n);
}

BYTE CMapper2::ReadByte(WORD addr) {
  return ReadPrgView(addr);
}

WORD CMapper2::ReadWord(WORD addr) {
  return WordFromBytes(addr);
}

void CMapper2::WriteByte(WORD /*addr*/, BYTE value) {
  m_nBank = value;
  CopyBank(value, m_pPrgWindow.data());
}
