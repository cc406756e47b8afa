#pragma once
// The project description that the start routine takes: the project's facts and a table of its
// windows, with each window's description inside it. Integers little-endian:
//
//   offset  size
//        0     4  signature "TVXP"
//        4     2  format version, 1
//        6     2  number of windows (at least one)
//        8     4  offset of the window table (right after the three texts)
//       12     4  length of the whole project description
//       16        project name, application title, start-up object: three texts, each a 16-bit
//                 length, the Windows-1252 characters and a zero byte
//    table        one 80-byte entry per window:
//                   0  16  window identifier, the same as in the window description's header
//                  16   4  offset of the window description from the project description's start
//                  20   4  length of the window description
//                  24  32  window name, zero-terminated and zero-padded
//                  56   4  kind code of the window (13, a form)
//                  60  20  zero
//                 then the window descriptions, each inside the bytes after the table.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window_description.h"

namespace tervalux::rt {

inline constexpr std::size_t kWindowEntrySize = 80;
inline constexpr std::size_t kWindowNameField = 32;

struct WindowEntry {
    Guid id;
    std::wstring name;
    std::uint32_t offset = 0;  // of the window description, from the project description's start
    std::uint32_t length = 0;
    std::uint32_t kind = KindCode(Kind::Form);
};

struct ProjectDescription {
    std::wstring name;
    std::wstring title;          // shown where no window caption applies (message boxes)
    std::wstring startUpObject;  // the name of a window in the table
    std::vector<WindowEntry> windows;

    const WindowEntry* FindWindow(const Guid& id) const;
    // Names compare without regard to letter case.
    const WindowEntry* FindWindow(std::wstring_view name) const;
    const WindowEntry& StartUpWindow() const;  // the reader guarantees there is one
};

// Checks the facts and the table; every window description must lie after the table and inside
// the bytes, and begin with a header carrying its entry's identifier.
ProjectDescription ReadProjectDescription(std::span<const std::uint8_t> bytes);

// Reads the description of the window with this identifier from the project's bytes. Errors
// name offsets in the project's bytes.
WindowDescription ReadWindow(std::span<const std::uint8_t> projectBytes, const ProjectDescription& project,
                             const Guid& windowId);

}  // namespace tervalux::rt
