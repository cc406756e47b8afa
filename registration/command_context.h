#pragma once
// What a command works with: the runtime services, the probe module with WinFamily, the window's
// selection, read at the moment each step needs it, and the working copies this run placed.
#include <cstdint>
#include <string>

#include "platform/module1.h"
#include "platform/services.h"
#include "registration/placed_copies.h"

namespace tervalux {

// The window's part of a command: File.Path, File.FileName and ChkDir.Value. The main window
// implements it over its controls; tests implement it over plain values.
class Selection {
   public:
    virtual ~Selection() = default;
    virtual std::wstring FolderPath() = 0;     // File.Path: "c:\" at a root, no trailing '\' elsewhere
    virtual std::wstring FileName() = 0;       // File.FileName: bare name, empty when none
    virtual std::int32_t CheckBoxValue() = 0;  // ChkDir.Value: 0, 1 or 2
};

struct CommandContext {
    Services& services;
    Module1& module;
    Selection& selection;
    PlacedCopies& placed;
};

}  // namespace tervalux
