#pragma once
// A function of a system library that is loaded in every process (kernel32, user32), looked up by
// name: for calls that only later Windows versions have, so that the program still starts on the
// versions without them. Nothing when the library or the function is not there.
#include <windows.h>

namespace tervalux::win32 {

template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) return nullptr;
    // Through the one generic function pointer type, which every function pointer converts to and
    // from without the compiler suspecting a mismatched call.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace tervalux::win32
