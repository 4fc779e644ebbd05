#pragma once

#include "platform/Types.h"

// Length in bytes of each opcode's instruction (1 for opcodes outside the
// instruction set), for traces and disassembly.
int OpcodeLength(BYTE opcode);
// Mnemonic of an opcode, "???" outside the instruction set.
const char* OpcodeMnemonic(BYTE opcode);
