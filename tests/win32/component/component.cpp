// A component for the registration tests: registering it writes a key into the current user's
// registry, unregistering removes it. It records where it was loaded from, so a test can tell
// which copy the registrar loaded.
#include <windows.h>

namespace {

constexpr wchar_t kKey[] = L"Software\\TervaluxTest\\Component";

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return E_FAIL;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    const LONG status = RegSetValueExW(key, L"LoadedFrom", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                       (length + 1) * static_cast<DWORD>(sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    const LONG status = RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}
