// A program for the process-start tests: writes, into the file named by its first argument, how
// it was asked to show its window, the command line it got and the folder it was started in. The
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
    return WriteWholeFile(argv[1], StartReport() + L"folder=" + folder + L"\n");
}
