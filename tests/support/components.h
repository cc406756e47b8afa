#pragma once
// Which files Form1's file list shows: the components, by their extensions. The native tests
// expect the pattern Form1 gives the list; the Win32 tests name and count a folder's components.
#include <array>
#include <string>

namespace tervalux::testing {

inline constexpr std::array<const wchar_t*, 2> kComponentExtensions = {L".ocx", L".dll"};

// "*.ocx;*.dll".
inline std::wstring ComponentPattern() {
    std::wstring pattern;
    for (const wchar_t* extension : kComponentExtensions) {
        pattern += (pattern.empty() ? L"*" : L";*") + std::wstring(extension);
    }
    return pattern;
}

}  // namespace tervalux::testing
