#include "platform/win32/system_library.h"

#include <cstddef>
#include <cwchar>

#include "platform/win32/system_function.h"

namespace tervalux::win32 {

void SearchSystemDirectoryOnly() {
    // Both are looked up by name, so that the program still starts where they are missing: the
    // first came with Windows 8 (and an update for Vista and 7), the second with XP SP1.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    const auto setDefault = SystemFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // An empty folder replaces the current folder in the search.
    const auto setDirectory = SystemFunction<SetDllDirectoryFn>(L"kernel32.dll", "SetDllDirectoryW");
    if (setDirectory != nullptr) setDirectory(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
    // A fixed buffer, so that nothing here can throw: the icons load their library while a list
    // draws. The system directory's path is always shorter than MAX_PATH.
    wchar_t path[MAX_PATH];
    const std::size_t length = GetSystemDirectoryW(path, MAX_PATH);
    const std::size_t nameLength = std::wcslen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    std::size_t end = length;
    if (path[end - 1] != L'\\') path[end++] = L'\\';
    std::wmemcpy(path + end, name, nameLength + 1);
    return LoadLibraryW(path);
}

}  // namespace tervalux::win32
