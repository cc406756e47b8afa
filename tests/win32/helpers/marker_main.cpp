// A program for the process-start tests: writes, into the file named by its first argument, how
// it was asked to show its window, the command line it got, the folder it was started in and the
// path the system started it by. The
// file appears whole, so a test that polls for it never reads half of it.
#include <windows.h>

#include <string>

#include "tests/win32/report_file.h"

using tervalux::win32::testing::StartReport;
using tervalux::win32::testing::WriteWholeFile;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    return WriteWholeFile(argv[1], StartReport() + L"folder=" + folder + L"\nprogram=" + program + L"\n");
}
