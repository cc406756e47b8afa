#pragma once
// The two kernel calls the probe makes, in their 8-bit form, behind an interface so the portable
// core can be tested with any answer the system could give. The Win32 implementation binds them by
// name from kernel32 on first use; a failure to bind throws a RuntimeError (48 or 453).
#include <cstdint>
#include <string>
#include <string_view>

namespace tervalux {

// The 8-bit version record exactly as the system takes it (OSVERSIONINFOA).
struct VersionRecordAnsi {
    std::int32_t dwOSVersionInfoSize;
    std::int32_t dwMajorVersion;
    std::int32_t dwMinorVersion;
    std::int32_t dwBuildNumber;
    std::int32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(VersionRecordAnsi) == 148, "the system expects a 148-byte record");

class KernelCalls {
   public:
    virtual ~KernelCalls() = default;

    // Fills `buffer` (size bytes) with the Windows directory in the ANSI code page and returns the
    // count written without the NUL, the size needed when the buffer is too small, 0 on failure.
    virtual std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;

    // Fills the record; the result is not looked at by the probe.
    virtual std::int32_t GetVersionExA(VersionRecordAnsi* record) = 0;

    // Conversions between the system's ANSI code page and wide text.
    virtual std::string ToAnsi(std::wstring_view text) = 0;
    virtual std::wstring FromAnsi(std::string_view text) = 0;
};

}  // namespace tervalux
