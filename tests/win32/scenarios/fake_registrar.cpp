// A stand-in for the registrar: records the command line it was started with in a file of its own
// (named by its process id) in the folder that TERVALUX_SCENARIO_STARTS names, and does nothing
// else. The file appears whole (written beside and then renamed), so a test that polls for it
// never reads half of it.
#include <windows.h>

#include <string>
#include <vector>

int wmain() {
    std::vector<wchar_t> folder(32768);
    const DWORD length =
        GetEnvironmentVariableW(L"TERVALUX_SCENARIO_STARTS", folder.data(), static_cast<DWORD>(folder.size()));
    if (length == 0 || length >= folder.size()) return 2;

    const std::wstring target =
        std::wstring(folder.data(), length) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring partial = target + L".part";
    const std::wstring line = GetCommandLineW();
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, line.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes) return 4;
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
