#include "platform/win32/system_library.h"

#include <cstddef>
#include <cwchar>

namespace tervalux::win32 {

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
