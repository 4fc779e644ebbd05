#pragma once

// Sanitizer defaults for the desktop program; included by exactly one of its
// source files, and never called outside a sanitizer build.
//
// No leak check here: in a real X session SDL 2 loads and unloads the X and
// OpenGL libraries itself, and what they keep can no longer be told apart
// at exit (their modules are gone, so their stacks are unknown). Asking for
// full stacks instead deadlocks inside the software OpenGL driver. The
// shell's own classes are leak-checked by the offscreen tests, which build
// the same objects; memory errors and undefined behaviour are still caught
// here.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
