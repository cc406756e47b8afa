#pragma once
// A file held open on the real file system, so that no other program can write, rename or delete
// it until the hold ends.
#include <memory>
#include <string>

#include "platform/services.h"

namespace tervalux::win32 {

// Throws the open's runtime error.
std::unique_ptr<HeldFile> HoldFileAt(const std::wstring& path, HoldFor purpose);

}  // namespace tervalux::win32
