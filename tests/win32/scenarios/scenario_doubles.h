#pragma once
// The stand-ins a scenario runs its command with: the real services, recording what they show and
// start; the real kernel calls, on a scratch Windows directory and a version of the test's choice;
// a window selection of plain values; and what the stand-in registrar logged.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel.h"
#include "platform/services.h"
#include "platform/win32/win32_kernel.h"
#include "platform/win32/win32_services.h"
#include "registration/command_context.h"
#include "win32_test_support.h"

namespace tervalux::win32::testing {

// The real services; a message box is recorded instead of shown, and every start is recorded
// before it is made.
class RecordingServices : public Services {
   public:
    std::vector<std::wstring> messages;
    std::vector<std::wstring> starts;

    std::uint32_t FileAttributes(const std::wstring& path) override { return real_.FileAttributes(path); }
    void CopyFileTo(const std::wstring& source, const std::wstring& destination, Overwrite overwrite) override {
        real_.CopyFileTo(source, destination, overwrite);
    }
    void DeleteFileAt(const std::wstring& path) override { real_.DeleteFileAt(path); }
    std::unique_ptr<HeldFile> HoldFile(const std::wstring& path, HoldFor purpose) override {
        return real_.HoldFile(path, purpose);
    }
    std::optional<FileIdentity> IdentityOf(const std::wstring& path) override { return real_.IdentityOf(path); }
    void StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                      const std::wstring& currentFolder) override {
        real_.StartProgram(program, commandLine, style, currentFolder);
        starts.push_back(commandLine);
    }
    void ShowMessage(const std::wstring& prompt) override { messages.push_back(prompt); }
    bool SameFile(const std::wstring& a, const std::wstring& b) override { return real_.SameFile(a, b); }
    bool SameContents(const std::wstring& a, const std::wstring& b) override { return real_.SameContents(a, b); }
    void ReadWholeFile(const std::wstring& path) override { real_.ReadWholeFile(path); }
    bool FileExists(const std::wstring& path) override { return real_.FileExists(path); }
    std::optional<std::uint16_t> ImageMachineOf(const std::wstring& path) override {
        return real_.ImageMachineOf(path);
    }
    SystemBitness Bitness() override { return real_.Bitness(); }

   private:
    Win32Services real_;
};

enum class Version { Real, Windows98, WindowsNT };

// The real kernel calls, except that the Windows directory is the scratch one and the version may be
// one Wine is not reporting.
class ScratchWindowsKernel : public KernelCalls {
   public:
    ScratchWindowsKernel(std::wstring winDir, Version version) : winDir_(std::move(winDir)), version_(version) {}

    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override {
        const std::string ansi = real_.ToAnsi(winDir_);
        const auto length = static_cast<std::uint32_t>(ansi.size());
        if (size <= length) return length + 1;
        std::memcpy(buffer, ansi.data(), ansi.size());
        buffer[length] = '\0';
        return length;
    }
    std::int32_t GetVersionExA(VersionRecordAnsi* record) override {
        if (version_ == Version::Real) return real_.GetVersionExA(record);
        const bool nt = version_ == Version::WindowsNT;
        record->dwMajorVersion = 4;
        record->dwMinorVersion = nt ? 0 : 10;
        record->dwBuildNumber = nt ? 1381 : 1998;
        record->dwPlatformId = nt ? 2 : 1;
        std::memset(record->szCSDVersion, 0, sizeof record->szCSDVersion);
        return 1;
    }
    std::string ToAnsi(std::wstring_view text) override { return real_.ToAnsi(text); }
    std::wstring FromAnsi(std::string_view text) override { return real_.FromAnsi(text); }

   private:
    Win32Kernel real_;
    std::wstring winDir_;
    Version version_;
};

// The command lines the stand-in registrar (fake_registrar.cpp) logged in `folder`, one per process.
inline std::vector<std::wstring> StartedCommandLines(const std::wstring& folder) {
    std::vector<std::wstring> lines;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return lines;
    do {
        // The pattern also finds a report still being written ("n.txt.part") under Wine.
        if (!std::wstring_view(found.cFileName).ends_with(L".txt")) continue;
        const std::string bytes = ReadBytes(folder + L"\\" + found.cFileName);
        lines.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return lines;
}

}  // namespace tervalux::win32::testing
