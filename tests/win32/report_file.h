#pragma once
// What the helper programs that the tests start write about themselves: a report of how they were
// started, put in place whole (written beside and then renamed) so that a test that polls for the
// file never reads half of it. Header only: each helper is a program of its own that links nothing
// else of the project.
#include <windows.h>

#include <string>

namespace tervalux::win32::testing {

// "show=<the show state asked for, or - when none was>\ncommand=<the whole command line>\n".
inline std::wstring StartReport() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const bool usesShow = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    return std::wstring(L"show=") + (usesShow ? std::to_wstring(startup.wShowWindow) : L"-") + L"\ncommand=" +
           GetCommandLineW() + L"\n";
}

// Writes `text` (UTF-16, no byte order mark) as the file `target`, replacing one that is there.
// The helper's exit code: 0 when the file is in place, 3 when it could not be created, 4 when it
// could not be written, 5 when it could not be put in place.
inline int WriteWholeFile(const std::wstring& target, const std::wstring& text) {
    const std::wstring partial = target + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, text.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes) return 4;
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}

}  // namespace tervalux::win32::testing
