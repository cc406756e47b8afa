#pragma once
// The probe module: where Windows is installed, which family runs, and the family name the
// commands keep between runs. Nothing is cached; every call asks the system afresh.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/kernel.h"

namespace tervalux {

// The version record as the program holds it: the text field wide.
struct VersionRecord {
    std::int32_t dwOSVersionInfoSize = 0;
    std::int32_t dwMajorVersion = 0;
    std::int32_t dwMinorVersion = 0;
    std::int32_t dwBuildNumber = 0;
    std::int32_t dwPlatformId = 0;
    std::wstring szCSDVersion = std::wstring(128, L'\0');
};

// Version code 0..6 of a record, rows tested in code order; 0 when no row holds.
std::int32_t VersionCodeOf(const VersionRecord& record);

// Family name of a version code; nothing for a code outside 0..6.
std::optional<std::wstring> FamilyName(std::int32_t code);

class Module1 {
   public:
    explicit Module1(KernelCalls& kernel) : kernel_(kernel) {}

    // The Windows directory as the system reports it, cut at the count the call returns; empty
    // when the system reports nothing. A directory longer than the first buffer is asked for again
    // with the size the system reports, so the whole path comes back.
    std::wstring GetWinDir();

    // The version code 0..6; never any other value.
    std::int32_t GetWinVersion();

    // Family name the commands keep; empty until the first command has run, never cleared.
    std::wstring WinFamily;

   private:
    KernelCalls& kernel_;
};

}  // namespace tervalux
