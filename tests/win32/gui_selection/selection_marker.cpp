// A program for a double click in the file list: started without arguments, it writes beside
// itself (its own path with ".report" added) how it was asked to show its window and the command
// line it got, and then stays running until a ".release" file appears beside it (or 30 s pass),
// so that a test can see the program that started it go on without waiting. The report appears
// whole.
#include <windows.h>

#include <string>

#include "tests/win32/report_file.h"

using tervalux::win32::testing::StartReport;
using tervalux::win32::testing::WriteWholeFile;

int wmain() {
    wchar_t self[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return 2;

    const std::wstring report = StartReport() + L"pid=" + std::to_wstring(GetCurrentProcessId()) + L"\n";
    if (const int failed = WriteWholeFile(std::wstring(self) + L".report", report)) return failed;

    const std::wstring release = std::wstring(self) + L".release";
    const ULONGLONG until = GetTickCount64() + 30000;
    while (GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > until) return 6;
        Sleep(50);
    }
    return 0;
}
