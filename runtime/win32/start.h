#pragma once
// The start routine: from the project description to a running window. It never returns: the
// process ends when the start-up form has been unloaded, or after an error that no handler traps.
#include "runtime/start.h"

namespace tervalux::rt::win32 {

[[noreturn]] void Start(const Program& program);

}  // namespace tervalux::rt::win32
