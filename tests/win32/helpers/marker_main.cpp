// A program for the process-start tests: writes, into the file named by its first argument, how
// it was asked to show its window, the command line it got and the folder it was started in. The file appears whole
// (written beside and then renamed), so a test that polls for it never reads half of it.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);

    const bool usesShow = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    const std::wstring report = std::wstring(L"show=") + (usesShow ? std::to_wstring(startup.wShowWindow) : L"-") +
                                L"\ncommand=" + GetCommandLineW() + L"\nfolder=" + folder + L"\n";

    const std::wstring target = argv[1];
    const std::wstring partial = target + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(report.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, report.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes) return 4;
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
