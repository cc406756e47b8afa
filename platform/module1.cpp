#include "platform/module1.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tervalux {

namespace {

// 145, not the usual 260 of a Windows path: the size the probe has always asked with.
constexpr std::uint32_t kWinDirBufferChars = 145;
constexpr std::int32_t kVersionRecordSize = 148;

constexpr std::array<std::wstring_view, 7> kFamilyNames = {
    L"Windows 32 Bits", L"Windows 95", L"Windows 98", L"Windows ME", L"Windows NT", L"Windows 2000", L"Windows XP",
};

VersionRecordAnsi ToAnsiRecord(const VersionRecord& record, KernelCalls& kernel) {
    VersionRecordAnsi ansi{};
    ansi.dwOSVersionInfoSize = record.dwOSVersionInfoSize;
    ansi.dwMajorVersion = record.dwMajorVersion;
    ansi.dwMinorVersion = record.dwMinorVersion;
    ansi.dwBuildNumber = record.dwBuildNumber;
    ansi.dwPlatformId = record.dwPlatformId;
    const std::string text = kernel.ToAnsi(record.szCSDVersion);
    std::memcpy(ansi.szCSDVersion, text.data(), std::min(text.size(), sizeof ansi.szCSDVersion));
    return ansi;
}

VersionRecord FromAnsiRecord(const VersionRecordAnsi& ansi, KernelCalls& kernel) {
    VersionRecord record;
    record.dwOSVersionInfoSize = ansi.dwOSVersionInfoSize;
    record.dwMajorVersion = ansi.dwMajorVersion;
    record.dwMinorVersion = ansi.dwMinorVersion;
    record.dwBuildNumber = ansi.dwBuildNumber;
    record.dwPlatformId = ansi.dwPlatformId;
    record.szCSDVersion = kernel.FromAnsi(std::string_view(ansi.szCSDVersion, sizeof ansi.szCSDVersion));
    return record;
}

}  // namespace

std::int32_t VersionCodeOf(const VersionRecord& r) {
    const std::int32_t platform = r.dwPlatformId;
    if (platform == 0) return 0;
    if (platform == 1 && r.dwMinorVersion == 0) return 1;
    if (platform == 1 && r.dwMinorVersion == 10) return 2;
    if (platform == 1 && r.dwMinorVersion == 90) return 3;
    if (platform == 2 && r.dwMajorVersion < 5) return 4;
    if (platform == 2 && r.dwMajorVersion == 5 && r.dwMinorVersion == 0) return 5;
    if (platform == 2 && r.dwMajorVersion == 5 && r.dwMinorVersion == 1) return 6;
    return 0;
}

std::optional<std::wstring> FamilyName(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kFamilyNames.size())) return std::nullopt;
    return std::wstring(kFamilyNames[static_cast<std::size_t>(code)]);
}

std::wstring Module1::GetWinDir() {
    // The buffer starts as wide NULs and is handed to the system in its 8-bit form.
    std::string buffer = kernel_.ToAnsi(std::wstring(kWinDirBufferChars, L'\0'));
    buffer.resize(kWinDirBufferChars, '\0');
    std::uint32_t count = kernel_.GetWindowsDirectoryA(buffer.data(), kWinDirBufferChars);
    if (count > kWinDirBufferChars) {
        // Too small: the system told us the size it needs (NUL included). Ask once more with it.
        buffer.assign(count, '\0');
        const std::uint32_t size = count;
        count = kernel_.GetWindowsDirectoryA(buffer.data(), size);
        if (count >= size) return {};  // Changed under us again: report nothing rather than guess.
    }
    // Cut at the returned count, not at the first NUL; cutting the bytes before converting keeps a
    // multi-byte code page from splitting a character.
    return kernel_.FromAnsi(std::string_view(buffer.data(), std::min<std::size_t>(count, buffer.size())));
}

std::int32_t Module1::GetWinVersion() {
    VersionRecord record;
    record.dwOSVersionInfoSize = kVersionRecordSize;
    VersionRecordAnsi ansi = ToAnsiRecord(record, kernel_);
    kernel_.GetVersionExA(&ansi);  // Failure leaves the zeros, which read as code 0.
    return VersionCodeOf(FromAnsiRecord(ansi, kernel_));
}

}  // namespace tervalux
