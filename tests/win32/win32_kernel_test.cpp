#include "platform/win32/win32_kernel.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/module1.h"
#include "platform/win32/tick_count.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;

std::wstring SystemWindowsDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

TEST(Win32Kernel, ProbeReadsTheWindowsDirectoryThroughTheAnsiCall) {
    Win32Kernel kernel;
    Module1 module(kernel);
    const std::wstring directory = module.GetWinDir();
    EXPECT_EQ(CompareStringOrdinal(directory.c_str(), -1, SystemWindowsDirectory().c_str(), -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(directory.find(L'\0'), std::wstring::npos);
    EXPECT_NE(directory.back(), L'\\');
}

TEST(Win32Kernel, TheAnsiCallReportsTheSizeItNeedsWhenTheBufferIsShort) {
    Win32Kernel kernel;
    const std::uint32_t length = static_cast<std::uint32_t>(SystemWindowsDirectory().size());
    char tiny[2] = {};
    EXPECT_EQ(kernel.GetWindowsDirectoryA(tiny, 2), length + 1);
}

TEST(Win32Kernel, VersionRecordIsFilledForTheSizeWeGive) {
    Win32Kernel kernel;
    VersionRecordAnsi record{};
    record.dwOSVersionInfoSize = 148;
    EXPECT_NE(kernel.GetVersionExA(&record), 0);
    EXPECT_EQ(record.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(record.dwMajorVersion, 5);
}

TEST(Win32Kernel, BindingFailuresAreRuntimeErrors48And453) {
    struct Case {
        const wchar_t* library;
        const char* entry;  // of both calls
        int number;
    };
    const Case cases[] = {
        {L"tervalux-no-such-library.dll", "GetWindowsDirectoryA", 48},
        // Beside the test program, not in the system directory: never loaded, whatever its name.
        {L"tvxcomp.dll", "GetWindowsDirectoryA", 48},
        {L"kernel32.dll", "NoSuchKernelCall", 453},
    };
    for (const Case& c : cases) {
        Win32Kernel kernel(c.library, c.entry, c.entry);
        EXPECT_EQ(ErrorNumberOf([&] {
                      char buffer[145];
                      kernel.GetWindowsDirectoryA(buffer, 145);
                  }),
                  c.number)
            << Utf8(c.library);
        EXPECT_EQ(ErrorNumberOf([&] {
                      VersionRecordAnsi record{};
                      kernel.GetVersionExA(&record);
                  }),
                  c.number)
            << Utf8(c.library);
    }
    // The error reaches the probe's caller as it is.
    Win32Kernel noLibrary(L"tervalux-no-such-library.dll");
    Module1 module(noLibrary);
    EXPECT_EQ(ErrorNumberOf([&] { module.GetWinDir(); }), 48);
}

// The 64-bit tick count the program hands the C++ runtime: the system's own where it has one, and
// on older systems the 32-bit count carried on past each of its wraps.
TEST(Win32Kernel, TickCountIsSixtyFourBitsAcrossTheWrapsOfTheOldCount) {
    struct Case {
        std::uint64_t last;
        std::uint32_t now;
        std::uint64_t next;
    };
    const Case cases[] = {
        {0, 5, 5},
        {0x0000'0000'FFFF'FFF0ull, 0x10, 0x0000'0001'0000'0010ull},  // the first wrap
        {0x0000'0001'FFFF'FFFFull, 0, 0x0000'0002'0000'0000ull},
        {0x0000'0002'0000'0009ull, 9, 0x0000'0002'0000'0009ull},  // asked twice in one millisecond
    };
    for (const Case& c : cases) EXPECT_EQ(NextTickCount(c.last, c.now), c.next) << c.last << " then " << c.now;
    const ULONGLONG before = GetTickCount64();
    const ULONGLONG count = TickCount64();
    EXPECT_GE(count, before);
    EXPECT_LE(count, GetTickCount64());
}

TEST(Win32Kernel, AnsiConversionsKeepEveryCharacterIncludingNuls) {
    Win32Kernel kernel;
    const std::wstring nuls(145, L'\0');
    EXPECT_EQ(kernel.ToAnsi(nuls), std::string(145, '\0'));
    EXPECT_EQ(kernel.FromAnsi(std::string(145, '\0')), nuls);
    EXPECT_EQ(kernel.FromAnsi(kernel.ToAnsi(L"C:\\windows")), L"C:\\windows");
    EXPECT_EQ(kernel.ToAnsi(L""), "");
    EXPECT_EQ(kernel.FromAnsi(""), L"");
}

// The probe program under every Windows version Wine can pretend to be. Wine reads the version
// per program name from the registry when a program starts.
class Probe : public ::testing::Test {
   protected:
    static constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\probe.exe";

    void TearDown() override { DeleteKeyTree(kAppDefaults); }

    // Runs probe.exe and returns its output.
    static std::string RunProbe() {
        ScratchFolder dir;
        const std::wstring output = dir / L"probe.txt";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "no output file";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = file;
        startup.hStdError = file;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        PROCESS_INFORMATION process{};
        const std::wstring program = TestProgramFolder() + L"\\probe.exe";
        std::wstring line = L"probe.exe";
        const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                            nullptr, nullptr, &startup, &process);
        CloseHandle(file);
        if (!started) return "not started";
        const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (waited != WAIT_OBJECT_0) return "still running";
        return ReadBytes(output);
    }
};

TEST_F(Probe, ReportsTheCodeOfEveryWindowsVersion) {
    struct Case {
        const wchar_t* version;
        int code;
    };
    const Case cases[] = {
        {L"win95", 1}, {L"win98", 2}, {L"winme", 3}, {L"nt40", 4}, {L"win2k", 5}, {L"winxp", 6}, {L"win10", 0},
    };
    std::string expectedDirectory;
    {
        const std::wstring wide = SystemWindowsDirectory();
        expectedDirectory.assign(wide.begin(), wide.end());  // ASCII in a Wine prefix
    }
    for (const Case& c : cases) {
        SetStringValue(kAppDefaults, L"Version", c.version);
        std::istringstream output(RunProbe());
        int code = -1;
        std::string directory;
        output >> code >> directory;
        EXPECT_EQ(code, c.code) << std::string(c.version, c.version + wcslen(c.version)) << ": " << output.str();
        EXPECT_EQ(
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, directory.c_str(), -1, expectedDirectory.c_str(), -1),
            CSTR_EQUAL)
            << directory;
    }
}

}  // namespace
}  // namespace tervalux::win32
