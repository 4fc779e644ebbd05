#pragma once

#include <cstdio>

#include "cpu/Cpu.h"

// One line per instruction: PC, opcode bytes, A, X, Y, packed status, SP and
// the scanline cycle counter. Reads memory without side effects.
class CTraceWriter : public ICpuTracer {
 public:
  explicit CTraceWriter(std::FILE* pFile) : m_pFile(pFile) {}
  void TraceInstruction(const CCpu& cpu, int nCycles) override;

 private:
  std::FILE* m_pFile;
};
