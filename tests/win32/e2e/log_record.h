#pragma once
// A record of how a process was started, written by the logging registrar and by the test
// component when a registrar loads it: the window show state, the whole command line and a few
// facts of the writer's own. One file per writer and process, in the folder that the variable
// TERVALUX_E2E_LOG names; the file appears whole (written beside, then renamed), so a test that
// polls the folder never reads half of one. Nothing is written when the variable is not set.
#include <windows.h>

#include <string>

namespace tervalux::e2e {

inline void WriteLogRecord(const wchar_t* writer, const std::wstring& facts) {
    wchar_t folder[2048] = {};
    const DWORD length = GetEnvironmentVariableW(L"TERVALUX_E2E_LOG", folder, 2048);
    if (length == 0 || length >= 2048) return;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const bool usesShow = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    const std::wstring record = std::wstring(L"show=") + (usesShow ? std::to_wstring(startup.wShowWindow) : L"-") +
                                L"\ncommand=" + GetCommandLineW() + L"\n" + facts;

    const std::wstring target = std::wstring(folder) + L"\\" + writer + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount64()) + L".rec";
    const std::wstring partial = target + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, record.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (ok && written == bytes) MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace tervalux::e2e
