// A registrar for the Windows 9x layout of the end-to-end tests, installed as
// C:\windows\system\regsvr32.exe: it records its command line, then does the registrar's job
// itself. It loads the component by the bare name it was given (so the copy beside the registrar
// is found first) and calls DllRegisterServer, or DllUnregisterServer with /u or /U. Exit codes
// as the system's registrar: 0 done, 1 bad arguments, 3 not loaded, 4 no entry point, 5 failed.
#include <windows.h>

#include <string>

#include "log_record.h"

namespace {

int Run(int argc, wchar_t** argv) {
    bool unregister = false;
    std::wstring name;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"/u" || argument == L"/U" || argument == L"-u" || argument == L"-U") {
            unregister = true;
        } else if (!argument.empty() && argument[0] != L'/' && argument[0] != L'-') {
            name = argument;
        }
    }
    if (name.empty()) return 1;
    // One try: a load that fails shows in the tests, among them a component rewritten while a
    // registrar loads it.
    const HMODULE component = LoadLibraryW(name.c_str());
    if (component == nullptr) return 3;
    using Entry = HRESULT(__stdcall*)();
    const auto entry = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(component, unregister ? "DllUnregisterServer" : "DllRegisterServer")));
    const int code = entry == nullptr ? 4 : (FAILED(entry()) ? 5 : 0);
    FreeLibrary(component);
    return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int code = Run(argc, argv);
    tervalux::e2e::WriteLogRecord(L"reg", L"exit=" + std::to_wstring(code) + L"\n");
    return code;
}
