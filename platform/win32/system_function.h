#pragma once
// Functions of system libraries looked up by name: for calls that only later Windows versions
// have, so that the program still starts on the versions without them. Nothing when the library
// or the function is not there.
#include <windows.h>

namespace tervalux::win32 {

// A function of a library the program has loaded itself (see system_library.h).
template <typename Function>
Function LibraryFunction(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    // Through the one generic function pointer type, which every function pointer converts to and
    // from without the compiler suspecting a mismatched call.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of a system library that is loaded in every process (ntdll, kernel32, user32).
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    return LibraryFunction<Function>(GetModuleHandleW(library), name);
}

}  // namespace tervalux::win32
