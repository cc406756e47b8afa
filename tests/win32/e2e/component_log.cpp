// The end-to-end tests' build of the test component records, when a registrar loads it, how that
// registrar was started and which copy of the component it loaded: whatever registrar runs, the
// tests see its command line.
#include <windows.h>

#include "log_record.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
        tervalux::e2e::WriteLogRecord(L"dll", L"loaded=" + std::wstring(path, length) + L"\n");
    }
    return TRUE;
}
