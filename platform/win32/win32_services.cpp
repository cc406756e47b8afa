#include "platform/win32/win32_services.h"

#include <windows.h>

#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/pe_machine.h"
#include "platform/win32/file_handles.h"
#include "platform/win32/held_file.h"
#include "platform/win32/system_function.h"
#include "platform/win32/win32_errors.h"

namespace tervalux::win32 {

namespace {

// Paths shorter than this are within MAX_PATH (259 characters and the NUL).
constexpr std::size_t kLongPathFrom = MAX_PATH;

bool IsAbsoluteDrivePath(const std::wstring& path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

// The process start takes no long-path form for the program it runs, so a program whose path is
// past MAX_PATH is started by its short (8.3) path when the file system has one that fits.
std::wstring ProgramPathToStart(const std::wstring& program) {
    if (program.size() < kLongPathFrom || !IsAbsoluteDrivePath(program)) return program;
    const std::wstring extended = ForFileApi(program);
    const DWORD needed = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (needed == 0) return program;
    std::wstring shortPath(needed, L'\0');
    const DWORD written = GetShortPathNameW(extended.c_str(), shortPath.data(), needed);
    if (written == 0 || written >= needed) return program;
    shortPath.resize(written);
    constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
    if (shortPath.rfind(kExtendedPrefix, 0) == 0) shortPath.erase(0, kExtendedPrefix.size());
    return shortPath.size() < kLongPathFrom ? shortPath : program;
}

}  // namespace

std::wstring ForFileApi(const std::wstring& path) {
    if (path.size() < kLongPathFrom || !IsAbsoluteDrivePath(path)) return path;
    std::wstring plain;
    plain.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && !plain.empty() && plain.back() == L'\\') continue;
        plain.push_back(c);
    }
    // Resolve "." and ".." the way the system would have; the wide call takes long paths.
    const DWORD needed = GetFullPathNameW(plain.c_str(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::wstring full(needed, L'\0');
        const DWORD written = GetFullPathNameW(plain.c_str(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) {
            full.resize(written);
            plain = std::move(full);
        }
    }
    return L"\\\\?\\" + plain;
}

Win32Services::Win32Services(std::wstring applicationTitle) : title_(std::move(applicationTitle)) {}

std::uint32_t Win32Services::FileAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError(Operation::Attributes);
    return ClassicAttributes(attributes);
}

void Win32Services::CopyFileTo(const std::wstring& source, const std::wstring& destination, Overwrite overwrite) {
    const BOOL failIfExists = overwrite == Overwrite::No ? TRUE : FALSE;
    if (overwrite == Overwrite::Yes) {
        // The system refuses to overwrite a read-only file; say so ourselves as well, because a
        // file system that leaves the refusal to Unix permissions lets a privileged user through.
        const DWORD attributes = GetFileAttributesW(ForFileApi(destination).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            throw ErrorFromWin32(ERROR_ACCESS_DENIED, Operation::Copy);
        }
    }
    if (!CopyFileW(ForFileApi(source).c_str(), ForFileApi(destination).c_str(), failIfExists)) {
        ThrowLastError(Operation::Copy);
    }
}

void Win32Services::DeleteFileAt(const std::wstring& path) {
    if (!DeleteFileW(ForFileApi(path).c_str())) ThrowLastError(Operation::Delete);
}

void Win32Services::StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                                 const std::wstring& currentFolder) {
    // The process start may write into the command line, so it gets its own copy.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        static_cast<WORD>(style == WindowStyle::MinimizedWithFocus ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);

    PROCESS_INFORMATION process{};
    // The program is named by its full path so that nothing is searched for, whatever the command
    // line's first word says.
    const std::wstring path = ProgramPathToStart(program);
    // The process start takes no current folder past MAX_PATH, and its short form is no way round:
    // Wine will not start a program inside a short-named current folder. Such a program starts in
    // our own folder, as it did before it was given one.
    const std::wstring folder = currentFolder.size() < kLongPathFrom ? currentFolder : std::wstring();
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        ThrowLastError(Operation::Start);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void Win32Services::ShowMessage(const std::wstring& prompt) {
    // Before the form's window exists, or once it is gone, the box stands alone.
    const HWND owner = owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr;
    MessageBoxW(owner, prompt.c_str(), title_.c_str(), MB_OK);
}

bool Win32Services::SameFile(const std::wstring& a, const std::wstring& b) {
    const std::optional<FileIdentity> one = IdentityOf(a);
    if (!one || !one->TellsFilesApart()) return false;
    const std::optional<FileIdentity> two = IdentityOf(b);
    return two && *one == *two;
}

std::optional<FileIdentity> Win32Services::IdentityOf(const std::wstring& path) {
    Handle file(OpenForIdentity(path));
    if (!file.Valid()) return std::nullopt;
    return IdentityOfHandle(file.Get());
}

std::unique_ptr<HeldFile> Win32Services::HoldFile(const std::wstring& path, HoldFor purpose) {
    return HoldFileAt(path, purpose);
}

bool Win32Services::SameContents(const std::wstring& a, const std::wstring& b) {
    Handle first(OpenForReading(a));
    if (!first.Valid()) return false;
    Handle second(OpenForReading(b));
    return second.Valid() && SameBytes(first.Get(), second.Get());
}

void Win32Services::ReadWholeFile(const std::wstring& path) {
    Handle file(OpenForReading(path));
    if (!file.Valid()) ThrowLastError(Operation::Other);
    std::vector<char> buffer(kReadChunk);
    DWORD got = 0;
    do {
        if (!ReadChunk(file.Get(), buffer.data(), kReadChunk, got)) ThrowLastError(Operation::Other);
    } while (got == kReadChunk);
}

bool Win32Services::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ForFileApi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::uint16_t> Win32Services::ImageMachineOf(const std::wstring& path) {
    Handle file(OpenForReading(path));
    if (!file.Valid()) return std::nullopt;
    std::vector<char> head(kImageHeadBytes);
    DWORD got = 0;
    if (!ReadChunk(file.Get(), head.data(), static_cast<DWORD>(head.size()), got)) return std::nullopt;
    return ImageMachine(std::span(reinterpret_cast<const std::uint8_t*>(head.data()), got));
}

SystemBitness Win32Services::Bitness() {
#if defined(_WIN64)
    return BitnessOf(true, {});
#else
    // Asked once: the answer cannot change while the program runs. Both calls are looked up by
    // name, since the oldest systems the program starts on have neither.
    static const SystemBitness bitness = [] {
        using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
        Wow64Answers answers;
        if (const auto ask2 = SystemFunction<IsWow64Process2Fn>(L"kernel32.dll", "IsWow64Process2")) {
            USHORT processMachine = 0;
            USHORT nativeMachine = 0;
            if (ask2(GetCurrentProcess(), &processMachine, &nativeMachine)) answers.processMachine = processMachine;
        }
        if (answers.processMachine) return BitnessOf(false, answers);
        if (const auto ask = SystemFunction<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process")) {
            BOOL underWow64 = FALSE;
            if (ask(GetCurrentProcess(), &underWow64)) answers.underWow64 = underWow64 != FALSE;
        }
        return BitnessOf(false, answers);
    }();
    return bitness;
#endif
}

}  // namespace tervalux::win32
