/* A 32-bit test component, built with the i686 compiler whatever the build's own architecture: its
   image header is the real thing the program reads to choose SysWOW64. A 64-bit Wine prefix
   without 32-bit support can copy it and read it, but never load it, so its entries do nothing. */
#include <windows.h>

__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) {
    return S_OK;
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer(void) {
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
