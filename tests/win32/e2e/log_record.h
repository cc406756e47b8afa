#pragma once
// A record of how a process was started, written by the logging registrar and by the test
// component when a registrar loads it: the window show state, the whole command line and a few
// facts of the writer's own. One file per writer and process, in the folder that the variable
// TERVALUX_E2E_LOG names; the file appears whole (written beside, then renamed), so a test that
// polls the folder never reads half of one. Nothing is written when the variable is not set.
#include <windows.h>

#include <string>

#include "tests/win32/report_file.h"

namespace tervalux::e2e {

inline void WriteLogRecord(const wchar_t* writer, const std::wstring& facts) {
    wchar_t folder[2048] = {};
    const DWORD length = GetEnvironmentVariableW(L"TERVALUX_E2E_LOG", folder, 2048);
    if (length == 0 || length >= 2048) return;

    const std::wstring target = std::wstring(folder) + L"\\" + writer + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount64()) + L".rec";
    tervalux::win32::testing::WriteWholeFile(target, tervalux::win32::testing::StartReport() + facts);
}

}  // namespace tervalux::e2e
