#pragma once
// Where the libraries of the process come from: the system directory, never the program's own
// folder or the current one, where whoever can write there could plant a library under a system
// library's name and have it run with the program's rights.
#include <windows.h>

namespace tervalux::win32 {

// Makes the system directory the only place searched for the libraries loaded from now on,
// including those the system's own libraries load. Where the system cannot do that, it at least
// takes the current folder out of the search. The first thing the process does.
void SearchSystemDirectoryOnly();

// The system library `name` (a bare file name), loaded by its full path in the system directory;
// nullptr when it cannot be loaded from there. It stays loaded for the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

}  // namespace tervalux::win32
