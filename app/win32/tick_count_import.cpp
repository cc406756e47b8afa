// The static C++ runtime's thread library calls GetTickCount64, which kernel32 has only from Vista
// on; imported, it would keep the program from starting on XP and Server 2003, before its first
// line. This definition of the import's address slot is part of the program itself, so the linker
// takes it and never reaches kernel32's import of the function: the runtime's calls go to
// TickCount64, which asks kernel32 for the function by name and falls back where it is missing.
// scripts/check-program-headers.sh fails the build's tests should the import come back.
#include <windows.h>

#include "platform/win32/tick_count.h"

// The slot's name as the import library spells it: with the stdcall decoration on x86.
#if defined(_M_IX86) || defined(__i386__)
#define TERVALUX_TICK_COUNT_IMPORT "__imp__GetTickCount64@0"
#else
#define TERVALUX_TICK_COUNT_IMPORT "__imp_GetTickCount64"
#endif

extern const tervalux::win32::TickCountFn tickCount64Import __asm__(TERVALUX_TICK_COUNT_IMPORT);
const tervalux::win32::TickCountFn tickCount64Import = &tervalux::win32::TickCount64;
