#include "platform/win32/win32_kernel.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <utility>

#include "platform/runtime_error.h"
#include "platform/win32/system_library.h"

namespace tervalux::win32 {

namespace {

// Our record is handed to the system as its own structure, so the two must agree to the byte.
static_assert(sizeof(VersionRecordAnsi) == sizeof(OSVERSIONINFOA));
static_assert(offsetof(VersionRecordAnsi, dwMajorVersion) == offsetof(OSVERSIONINFOA, dwMajorVersion));
static_assert(offsetof(VersionRecordAnsi, dwMinorVersion) == offsetof(OSVERSIONINFOA, dwMinorVersion));
static_assert(offsetof(VersionRecordAnsi, dwPlatformId) == offsetof(OSVERSIONINFOA, dwPlatformId));
static_assert(offsetof(VersionRecordAnsi, szCSDVersion) == offsetof(OSVERSIONINFOA, szCSDVersion));

template <typename Fn>
Fn As(void (*f)()) {
    return reinterpret_cast<Fn>(f);
}

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw RuntimeError(err::OutOfMemory);
    return static_cast<int>(size);
}

}  // namespace

Win32Kernel::Win32Kernel(std::wstring library, std::string windowsDirectoryEntry, std::string versionEntry)
    : library_(std::move(library)),
      windowsDirectoryEntry_(std::move(windowsDirectoryEntry)),
      versionEntry_(std::move(versionEntry)) {}

Win32Kernel::AnyFunction Win32Kernel::Bind(const std::string& entry) {
    HMODULE module = GetModuleHandleW(library_.c_str());
    // A library that is not loaded yet is loaded from the system directory and stays loaded for
    // the life of the process, like any library the program binds by name.
    if (module == nullptr) module = LoadSystemLibrary(library_.c_str());
    if (module == nullptr) throw RuntimeError(err::DllLoad);
    const FARPROC address = GetProcAddress(module, entry.c_str());
    if (address == nullptr) throw RuntimeError(err::DllEntryPoint);
    return reinterpret_cast<AnyFunction>(address);
}

std::uint32_t Win32Kernel::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    if (windowsDirectory_ == nullptr) windowsDirectory_ = As<WindowsDirectoryFn>(Bind(windowsDirectoryEntry_));
    return windowsDirectory_(buffer, size);
}

std::int32_t Win32Kernel::GetVersionExA(VersionRecordAnsi* record) {
    if (version_ == nullptr) version_ = As<VersionFn>(Bind(versionEntry_));
    return version_(record);
}

std::string Win32Kernel::ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string result(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return result;
}

std::wstring Win32Kernel::FromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), needed);
    result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return result;
}

}  // namespace tervalux::win32
