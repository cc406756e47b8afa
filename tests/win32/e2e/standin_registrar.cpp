// A stand-in for the 32-bit registrar, installed as C:\windows\syswow64\regsvr32.exe: a 64-bit
// prefix without 32-bit support has none, and could not run a 32-bit one. It records how it was
// started, the folder it was started in, and whether the component it was given by its bare name is
// found there, which is what the real registrar of SysWOW64 needs; it registers nothing.
#include <windows.h>

#include <string>

#include "log_record.h"

int wmain(int argc, wchar_t** argv) {
    std::wstring name;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != L'/' && argv[i][0] != L'-') name = argv[i];
    }
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    const bool found = !name.empty() && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    tervalux::e2e::WriteLogRecord(L"reg", L"folder=" + std::wstring(folder, length < MAX_PATH ? length : 0) +
                                              L"\nfinds=" + (found ? L"1" : L"0") + L"\nexit=0\n");
    return 0;
}
