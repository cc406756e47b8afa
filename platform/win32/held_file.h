#pragma once
// A file held open on the real file system, so that no other program can write, rename or delete
// it until the hold ends.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/services.h"

namespace tervalux::win32 {

// Throws the open's runtime error.
std::unique_ptr<HeldFile> HoldFileAt(const std::wstring& path, HoldFor purpose);

// Which call marks an open file for deletion: kernel32's where the system has it (Vista and
// later), else ntdll's, which every NT version has. Either way the delete goes through the handle.
enum class DispositionCall { Kernel32, Ntdll };

// Marks the file open as `file` (opened with the right to delete) for deletion when its last
// handle closes. Throws the system's refusal.
void DeleteThroughHandle(HANDLE file, DispositionCall call);

// The final path of an open file as an ordinary path (OrdinaryPath); empty where the system cannot
// say (no such call before Vista) or no ordinary path names the file.
std::wstring OrdinaryFinalPath(HANDLE file);

}  // namespace tervalux::win32
