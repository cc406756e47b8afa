#pragma once
// The probe's two kernel calls, bound by name from kernel32 the first time each is called, and
// the ANSI code page conversions around them.
#include <string>
#include <string_view>

#include "platform/kernel.h"

namespace tervalux::win32 {

class Win32Kernel : public KernelCalls {
   public:
    // `library` and the entry names are parameters so a failed binding can be exercised; the
    // program uses the defaults.
    explicit Win32Kernel(std::wstring library = L"kernel32.dll",
                         std::string windowsDirectoryEntry = "GetWindowsDirectoryA",
                         std::string versionEntry = "GetVersionExA");

    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
    std::int32_t GetVersionExA(VersionRecordAnsi* record) override;
    std::string ToAnsi(std::wstring_view text) override;
    std::wstring FromAnsi(std::string_view text) override;

   private:
    using WindowsDirectoryFn = unsigned int(__stdcall*)(char*, unsigned int);
    using VersionFn = int(__stdcall*)(VersionRecordAnsi*);

    // A generic function pointer: the one type every function pointer converts to and from
    // without the compiler suspecting a mismatched call.
    using AnyFunction = void (*)();

    // The address of an entry of the library; throws 48 when the library cannot be loaded and 453
    // when it has no such entry.
    AnyFunction Bind(const std::string& entry);

    std::wstring library_;
    std::string windowsDirectoryEntry_;
    std::string versionEntry_;
    WindowsDirectoryFn windowsDirectory_ = nullptr;
    VersionFn version_ = nullptr;
};

}  // namespace tervalux::win32
