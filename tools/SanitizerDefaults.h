#pragma once

// Leak-checker defaults for our programs (the runner and the test suite);
// included by exactly one source file of each. They matter only in a
// sanitizer build and are never called otherwise.
//
// SDL 1.2 (the sdl12-compat layer over SDL 2) keeps a few blocks from every
// SDL_SetVideoMode that SDL_Quit never gives back. They are the library's,
// not ours, and telling them apart needs full stacks through SDL, which has
// no frame pointers.
//
// A library thread still setting itself up as a process exits shows the
// sanitizer's own record of its stack as a leak (seen with SDL's timer
// thread before the ticks object stopped it).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:SDL_SetVideoMode\nleak:libSDL2-2.0.so\nleak:pthread_getattr_np\n";
}
extern "C" const char* __lsan_default_options() { return "fast_unwind_on_malloc=0"; }
