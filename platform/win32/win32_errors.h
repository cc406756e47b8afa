#pragma once
// The one place where a Win32 error code becomes a runtime error. The same code can mean different
// things depending on what was being done (a bad executable format is error 5 when starting a
// program but a failed load when binding a library), so the caller names the operation.
#include <windows.h>

#include "platform/runtime_error.h"

namespace tervalux::win32 {

enum class Operation {
    Attributes,  // reading a file's attributes
    Copy,        // copying a file
    Delete,      // deleting a file
    Start,       // starting a program
    Load,        // loading a library or binding one of its functions
    Other,
};

// The runtime error for a Win32 error code met during `op`. A code we have no number for becomes
// 75, described by the system's Portuguese text for it, or by UnmappedCodeDescription where the
// system has none: never in another language.
RuntimeError ErrorFromWin32(DWORD code, Operation op);

// "Erro de acesso ao caminho/arquivo (código do sistema <code>)".
std::wstring UnmappedCodeDescription(DWORD code);

// The same for GetLastError(), thrown.
[[noreturn]] void ThrowLastError(Operation op);

}  // namespace tervalux::win32
