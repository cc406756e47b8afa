// A program for a double click in the file list: started without arguments, it writes beside
// itself (its own path with ".report" added) how it was asked to show its window and the command
// line it got, and then stays running until a ".release" file appears beside it (or 30 s pass),
// so that a test can see the program that started it go on without waiting. The report appears
// whole (written beside and then renamed).
#include <windows.h>

#include <string>

int wmain() {
    wchar_t self[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return 2;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const bool usesShow = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    const std::wstring report = std::wstring(L"show=") + (usesShow ? std::to_wstring(startup.wShowWindow) : L"-") +
                                L"\ncommand=" + GetCommandLineW() + L"\npid=" + std::to_wstring(GetCurrentProcessId()) +
                                L"\n";

    const std::wstring target = std::wstring(self) + L".report";
    const std::wstring partial = target + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(report.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, report.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes) return 4;
    if (!MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 5;

    const std::wstring release = std::wstring(self) + L".release";
    const ULONGLONG until = GetTickCount64() + 30000;
    while (GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > until) return 6;
        Sleep(50);
    }
    return 0;
}
