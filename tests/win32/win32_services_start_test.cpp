// Starting programs through the real services, and how this build sees the system.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_services.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;

// Starting programs: a helper records how it was asked to show itself and what it was given.
class Win32ServicesStart : public ::testing::Test {
   protected:
    ScratchFolder dir;
    Win32Services services;
    const std::wstring helpers = TestProgramFolder();

    std::wstring WaitForReport(const std::wstring& markerFile) {
        std::wstring report;
        WaitFor([&] {
            const std::string bytes = ReadBytes(markerFile);
            if (bytes.empty()) return false;
            report.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
            return true;
        });
        return report;
    }
};

TEST_F(Win32ServicesStart, StartsWithTheWindowStyleAndCommandLineGiven) {
    struct Case {
        WindowStyle style;
        int showWindow;
    };
    for (const Case& c :
         {Case{WindowStyle::MinimizedWithFocus, SW_SHOWMINIMIZED}, Case{WindowStyle::NormalWithFocus, SW_SHOWNORMAL}}) {
        const std::wstring marker = dir / (L"started-" + std::to_wstring(c.showWindow) + L".txt");
        const std::wstring line = L"marker.exe " + marker;
        services.StartProgram(helpers + L"\\marker.exe", line, c.style);
        const std::wstring report = WaitForReport(marker);
        EXPECT_NE(report.find(L"show=" + std::to_wstring(c.showWindow) + L"\n"), std::wstring::npos)
            << std::string(report.begin(), report.end());
        EXPECT_NE(report.find(L"command=" + line + L"\n"), std::wstring::npos);
    }
}

TEST_F(Win32ServicesStart, ProgramInAFolderWithBlanksAndNonAnsiCharacters) {
    const std::wstring folder = dir / L"Componentes \u00e7\u00e3o\\\u65e5\u672c";
    MakeFolder(folder);
    services.CopyFileTo(helpers + L"\\marker.exe", folder + L"\\regsvr32.exe");
    const std::wstring marker = folder + L"\\\u00e7\u00e3o.txt";
    const std::wstring line = L"\"" + folder + L"\\regsvr32.exe\" \"" + marker + L"\"";
    services.StartProgram(folder + L"\\regsvr32.exe", line, WindowStyle::MinimizedWithFocus);
    EXPECT_NE(WaitForReport(marker).find(L"command=" + line), std::wstring::npos);
}

// The registrar runs in its own folder: given, it is the started program's current folder; not
// given, or past MAX_PATH, the program inherits ours.
TEST_F(Win32ServicesStart, StartsInTheFolderGiven) {
    const std::wstring deep = dir / (std::wstring(120, L'p') + L"\\" + std::wstring(120, L'q') + L"\\Pasta \u00e7");
    MakeFolder(deep);
    std::wstring own(MAX_PATH, L'\0');
    own.resize(GetCurrentDirectoryW(MAX_PATH, own.data()));
    const std::wstring deeper = dir / (std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"\\" +
                                       std::wstring(100, L'd') + L" com brancos");
    MakeFolder(deeper);
    const std::wstring marker = helpers + L"\\marker.exe";
    services.CopyFileTo(marker, deeper + L"\\regsvr32.exe");
    struct Case {
        const char* name;
        std::wstring program;
        std::wstring folder;
        std::wstring expected;
    };
    const Case cases[] = {
        {"a folder with a blank", marker, dir / L"Pasta de trabalho", dir / L"Pasta de trabalho"},
        {"a drive root", marker, L"c:\\", L"c:\\"},
        // The process start takes no such folder: ours, rather than no start at all.
        {"past MAX_PATH", marker, deep, own},
        {"a program in its own folder, both past MAX_PATH", deeper + L"\\regsvr32.exe", deeper, own},
        {"none given", marker, L"", own},

    };
    MakeFolder(dir / L"Pasta de trabalho");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring report_file = dir / (L"folder-" + std::to_wstring(++n) + L".txt");
        EXPECT_EQ(ErrorNumberOf([&] {
                      services.StartProgram(c.program, L"marker.exe \"" + report_file + L"\"",
                                            WindowStyle::MinimizedWithFocus, c.folder);
                  }),
                  0);
        const std::wstring report = WaitForReport(report_file);
        const std::size_t at = report.find(L"folder=");
        ASSERT_NE(at, std::wstring::npos);
        const std::wstring seen = report.substr(at + 7, report.find(L'\n', at) - at - 7);
        EXPECT_TRUE(services.SameFile(seen, c.expected)) << std::string(seen.begin(), seen.end());
    }
    EXPECT_EQ(ErrorNumberOf([&] {
                  services.StartProgram(marker, L"marker.exe", WindowStyle::MinimizedWithFocus,
                                        dir / L"no such folder");
              }),
              76);
}

TEST(Win32ServicesBitness, TheSixtyFourBitBuildSeesASixtyFourBitSystem) {
    Win32Services services;
    const SystemBitness expected =
        sizeof(void*) == 8 ? SystemBitness::SixtyFourBit : SystemBitness::SixtyFourBitFromWow64;
    EXPECT_EQ(services.Bitness(), expected) << "this build runs on a 64-bit system under Wine here";
}

TEST_F(Win32ServicesStart, AFileThatIsNoProgramRaises5) {
    services.CopyFileTo(helpers + L"\\tvxcomp.dll", dir / L"tvxcomp.dll");
    WriteBytes(dir / L"text.exe", "not a program at all");
    EXPECT_EQ(ErrorNumberOf(
                  [&] { services.StartProgram(dir / L"tvxcomp.dll", L"tvxcomp.dll", WindowStyle::NormalWithFocus); }),
              5);
    EXPECT_EQ(
        ErrorNumberOf([&] { services.StartProgram(dir / L"text.exe", L"text.exe", WindowStyle::NormalWithFocus); }), 5);
    EXPECT_EQ(
        ErrorNumberOf([&] { services.StartProgram(dir / L"none.exe", L"none.exe", WindowStyle::MinimizedWithFocus); }),
        53);
}

}  // namespace
}  // namespace tervalux::win32
