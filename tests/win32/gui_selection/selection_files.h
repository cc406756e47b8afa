#pragma once
// The drives the selection tests choose from, and what a program that the file list started
// reported about how it was started.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/win32/win32_test_support.h"

namespace tervalux::win32::testing {

// The drive that scripts/test.sh maps to a folder that does not exist.
inline constexpr wchar_t kGoneDrive = L'T';

// A ready fixed drive besides C (Wine's Z, the whole host); 0 when there is none.
inline wchar_t OtherReadyDrive() {
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter = L'D'; letter <= L'Z'; ++letter) {
        if (letter == kGoneDrive || (mask & (1u << (letter - L'A'))) == 0) continue;
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_FIXED && GetFileAttributesW(root) != INVALID_FILE_ATTRIBUTES) return letter;
    }
    return 0;
}

inline std::wstring DriveRoot(wchar_t letter) {
    return {letter, L':', L'\\'};
}

// A program that the file list started, seen from its report.
struct Started {
    std::wstring show;
    std::wstring command;
    DWORD pid = 0;
};

inline Started ReportOf(const std::wstring& program) {
    const std::string bytes = ReadBytes(program + L".report");
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    Started started;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(at, end - at);
        const auto equals = line.find(L'=');
        if (equals != std::wstring::npos) {
            const std::wstring key = line.substr(0, equals);
            const std::wstring value = line.substr(equals + 1);
            if (key == L"show") started.show = value;
            if (key == L"command") started.command = value;
            if (key == L"pid") started.pid = static_cast<DWORD>(std::wcstoul(value.c_str(), nullptr, 10));
        }
        at = end + 1;
    }
    return started;
}

}  // namespace tervalux::win32::testing
