// The version and directory probe: the version table row by row, the family names, and the
// Windows directory cut at the count the system returns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/module1.h"
#include "platform/runtime_error.h"
#include "tests/fakes/memory_platform.h"
#include "tests/support/families.h"

namespace tervalux {
namespace {

TEST(VersionCode, EveryRowOfTheTable) {
    struct Case {
        std::int32_t platform, major, minor, code;
    };
    for (const Case& c : {
             Case{0, 0, 0, 0},  Case{0, 5, 1, 0},                              // platform 0
             Case{1, 4, 0, 1},  Case{1, 0, 0, 1},         Case{1, 9, 0, 1},    // 95, any major
             Case{1, 4, 10, 2}, Case{1, 7, 10, 2},                             // 98
             Case{1, 4, 90, 3}, Case{1, 0, 90, 3},                             // ME
             Case{1, 4, 3, 0},  Case{1, 4, 1, 0},         Case{1, 4, -10, 0},  // other minors
             Case{2, 3, 51, 4}, Case{2, 4, 0, 4},         Case{2, 4, 90, 4},   // NT
             Case{2, -1, 0, 4}, Case{2, INT32_MIN, 7, 4},                      // signed compare
             Case{2, 5, 0, 5},  Case{2, 5, 1, 6},         Case{2, 5, 2, 0},         Case{2, 5, -1, 0},
             Case{2, 6, 0, 0},  Case{2, 6, 1, 0},         Case{2, 10, 0, 0},        Case{2, INT32_MAX, 0, 0},
             Case{3, 5, 0, 0},  Case{-1, 4, 0, 0},        Case{INT32_MAX, 5, 1, 0},  // other platforms
         }) {
        VersionRecord record;
        record.dwPlatformId = c.platform;
        record.dwMajorVersion = c.major;
        record.dwMinorVersion = c.minor;
        EXPECT_EQ(VersionCodeOf(record), c.code) << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST(VersionCode, BuildNumberAndServicePackAreNotLookedAt) {
    VersionRecord record;
    record.dwPlatformId = 2;
    record.dwMajorVersion = 5;
    record.dwMinorVersion = 1;
    record.dwBuildNumber = 2600;
    record.szCSDVersion = L"Service Pack 3";
    EXPECT_EQ(VersionCodeOf(record), 6);
}

TEST(FamilyName, SevenNamesAndNothingOutside) {
    for (std::int32_t code = 0; code < 7; ++code) EXPECT_EQ(FamilyName(code), testing::kFamilyNames[code]) << code;
    for (const std::int32_t code : {-1, 7, 100, INT32_MIN}) EXPECT_EQ(FamilyName(code), std::nullopt) << code;
}

TEST(GetWinVersion, AsksTheSystemWithTheRecordSizeEachTime) {
    fake::MemoryPlatform platform;
    Module1 module(platform);
    for (std::int32_t code = 0; code < 7; ++code) {
        platform.SetVersionCode(code);
        EXPECT_EQ(module.GetWinVersion(), code);
    }
    EXPECT_EQ(platform.versionCalls, 7);
    platform.SetVersion(2, 5, 0);
    platform.version.dwBuildNumber = 2195;
    std::snprintf(platform.version.szCSDVersion, sizeof platform.version.szCSDVersion, "Service Pack 4");
    EXPECT_EQ(module.GetWinVersion(), 5);
}

TEST(GetWinVersion, AFailingCallReadsAsCodeZero) {
    fake::MemoryPlatform platform;
    platform.SetVersionCode(5);
    platform.versionCallFails = true;
    Module1 module(platform);
    EXPECT_EQ(module.GetWinVersion(), 0);
    EXPECT_EQ(module.WinFamily, L"");  // only the commands write it
}

TEST(GetWinVersion, AnErrorInTheCallPassesToTheCaller) {
    fake::MemoryPlatform platform;
    platform.versionThrows = 453;
    Module1 module(platform);
    try {
        module.GetWinVersion();
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 453);
    }
}

TEST(GetWinDir, CutAtTheReturnedCount) {
    struct Case {
        std::optional<std::wstring> reported;
        std::wstring expected;
        std::vector<std::uint32_t> sizesAsked;
    };
    const std::wstring fits(144, L'x');     // with its NUL exactly the 145 of the first buffer
    const std::wstring tooLong(145, L'y');  // needs 146
    const std::wstring path300 = L"D:\\" + std::wstring(297, L'z');
    for (const Case& c : {
             Case{L"C:\\WINDOWS", L"C:\\WINDOWS", {145}},  // exactly 10 characters, no NUL, no '\'
             Case{L"C:\\WINNT", L"C:\\WINNT", {145}},
             Case{L"C:\\Arquivos de programas\\Win\u00e7", L"C:\\Arquivos de programas\\Win\u00e7", {145}},
             Case{std::nullopt, L"", {145}},  // the call fails: count 0
             Case{L"", L"", {145}},
             Case{fits, fits, {145}},
             Case{tooLong, tooLong, {145, 146}},  // asked again with the size the system needs
             Case{path300, path300, {145, 301}},
         }) {
        fake::MemoryPlatform platform;
        platform.windowsDirectory = c.reported;
        Module1 module(platform);
        const std::wstring dir = module.GetWinDir();
        EXPECT_EQ(dir, c.expected);
        EXPECT_EQ(dir.find(L'\0'), std::wstring::npos);
        EXPECT_EQ(platform.windowsDirectorySizesAsked, c.sizesAsked);
    }
}

TEST(GetWinDir, TwoCallsAskTwiceAndSeeAChange) {
    fake::MemoryPlatform platform;
    Module1 module(platform);
    platform.windowsDirectory = L"C:\\WINDOWS";
    EXPECT_EQ(module.GetWinDir(), L"C:\\WINDOWS");
    platform.windowsDirectory = L"E:\\WINNT";
    EXPECT_EQ(module.GetWinDir(), L"E:\\WINNT");
    EXPECT_EQ(platform.windowsDirectoryCalls, 2);
}

// Kernel answers the fake cannot give on its own.
class OddKernel : public fake::MemoryPlatform {
   public:
    std::function<std::uint32_t(char*, std::uint32_t, int)> answer;
    int calls = 0;
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override {
        return answer(buffer, size, ++calls);
    }
};

TEST(GetWinDir, TheCountDecidesNotTheFirstNul) {
    OddKernel kernel;
    kernel.answer = [](char* buffer, std::uint32_t, int) {
        const char text[] = "C:\\WIN\0DOWS";
        std::copy(text, text + 11, buffer);
        return std::uint32_t{10};
    };
    Module1 module(kernel);
    EXPECT_EQ(module.GetWinDir(), std::wstring(L"C:\\WIN\0DOWS", 10));
}

TEST(GetWinDir, ADirectoryThatKeepsGrowingGivesNothing) {
    OddKernel kernel;
    kernel.answer = [](char*, std::uint32_t size, int) { return size + 50; };
    Module1 module(kernel);
    EXPECT_EQ(module.GetWinDir(), L"");
    EXPECT_EQ(kernel.calls, 2);
}

TEST(GetWinDir, AnErrorInTheCallPassesToTheCaller) {
    fake::MemoryPlatform platform;
    platform.windowsDirectoryThrows = 48;
    Module1 module(platform);
    EXPECT_THROW(module.GetWinDir(), RuntimeError);
}

}  // namespace
}  // namespace tervalux
