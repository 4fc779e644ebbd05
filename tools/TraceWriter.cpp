#include "tools/TraceWriter.h"

#include "core/Memory.h"
#include "cpu/OpcodeInfo.h"

void CTraceWriter::TraceInstruction(const CCpu& cpu, int nCycles) {
  const CMemory* pMemory = cpu.Memory();
  const BYTE opcode = pMemory->PeekByte(cpu.m_PC);
  const int nLength = OpcodeLength(opcode);
  char bytes[12] = "        ";
  for (int i = 0; i < nLength; ++i)
    std::snprintf(bytes + i * 3, 4, "%02X ", pMemory->PeekByte(static_cast<WORD>(cpu.m_PC + i)));
  const int p = cpu.StatusByte();
  std::fprintf(m_pFile, "%04X  %-9s %-3s  A:%02X X:%02X Y:%02X P:%02X SP:%04X CYC:%d\n", cpu.m_PC,
               bytes, OpcodeMnemonic(opcode), cpu.m_A, cpu.m_X, cpu.m_Y, p, cpu.m_SP, nCycles);
}
