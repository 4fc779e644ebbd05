#pragma once

#include <cstdio>

struct SRunnerOptions;

// Runs a ROM without the application shell, with settings kept in memory.
// Returns the process exit code: 0 when the frames ran, 1 when emulation
// stopped on a bad opcode, 2 for a ROM that is refused or unreadable.
int RunHeadless(const SRunnerOptions& options, std::FILE* pOut, std::FILE* pErr);
