// A stand-in for the registrar: records the command line it was started with in a file of its own
// (named by its process id) in the folder that TERVALUX_SCENARIO_STARTS names, and does nothing
// else. The file appears whole, so a test that polls for it never reads half of it.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/report_file.h"

using tervalux::win32::testing::WriteWholeFile;

int wmain() {
    std::vector<wchar_t> folder(32768);
    const DWORD length =
        GetEnvironmentVariableW(L"TERVALUX_SCENARIO_STARTS", folder.data(), static_cast<DWORD>(folder.size()));
    if (length == 0 || length >= folder.size()) return 2;

    const std::wstring target =
        std::wstring(folder.data(), length) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    return WriteWholeFile(target, GetCommandLineW());
}
