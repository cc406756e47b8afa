// Starting programs through the real services, and how this build sees the system.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/win32/file_handles.h"
#include "platform/win32/win32_services.h"
#include "registration/rules.h"
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

// What starts is what was checked: while the copy is held, nobody can put another file in its
// place, and the program started is the one held.
TEST_F(Win32ServicesStart, AHeldProgramCannotBeReplacedAndIsTheOneStarted) {
    const std::wstring copy = dir / L"regsvr32.exe";
    services.CopyFileTo(helpers + L"\\marker.exe", copy);
    WriteBytes(dir / L"other.exe", "someone else's program");
    {
        const std::unique_ptr<HeldFile> held = services.HoldFile(copy, HoldFor::Starting);
        EXPECT_TRUE(held->SameContentsAs(helpers + L"\\marker.exe"));
        EXPECT_EQ(held->Identity(), services.IdentityOf(dir / L"REGSVR32.EXE"));
        struct Attempt {
            const char* what;
            std::function<BOOL()> act;
        };
        const Attempt attempts[] = {
            {"replace", [&] { return CopyFileW((dir / L"other.exe").c_str(), copy.c_str(), FALSE); }},
            {"rename", [&] { return MoveFileW(copy.c_str(), (dir / L"moved.exe").c_str()); }},
            {"delete", [&] { return DeleteFileW(copy.c_str()); }},
            {"write",
             [&] {
                 const HANDLE file =
                     CreateFileW(copy.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
                 if (file == INVALID_HANDLE_VALUE) return FALSE;
                 CloseHandle(file);
                 return TRUE;
             }},
        };
        for (const Attempt& attempt : attempts) {
            SetLastError(0);
            EXPECT_FALSE(attempt.act()) << attempt.what;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << attempt.what;
        }
        const std::wstring marker = dir / L"held.txt";
        services.StartProgram(copy, L"regsvr32.exe \"" + marker + L"\"", WindowStyle::MinimizedWithFocus, dir.Path());
        EXPECT_NE(WaitForReport(marker).find(L"folder="), std::wstring::npos);
    }
    EXPECT_TRUE(services.SameContents(copy, helpers + L"\\marker.exe"));
    // A hold for deleting takes the file it holds; a missing file cannot be held.
    {
        WriteBytes(dir / L"gone.exe", "ours");
        services.HoldFile(dir / L"GONE.EXE", HoldFor::Deleting)->Delete();
        EXPECT_FALSE(Exists(dir / L"gone.exe"));
        EXPECT_EQ(ErrorNumberOf([&] { services.HoldFile(dir / L"gone.exe", HoldFor::Starting); }), 53);
    }
}

// The working copy starts by the held file's own path, so that a link on the way to it, re-pointed
// after the check, cannot send the start to another file. The command line names the copy as the
// command spelt it.
TEST_F(Win32ServicesStart, AWorkingCopyStartsByTheHeldFilesOwnPath) {
    const std::wstring linked = L"C:\\tervalux-link";  // the test set-up's link to C:\tervalux-link-target
    if (!Exists(linked)) return CannotRunHere("no C:\\tervalux-link; scripts/wine-env.sh makes it");
    ScratchFolder target(L"C:\\tervalux-link-target");
    struct Case {
        const char* what;
        std::wstring folder;    // where the command sees the copy
        std::wstring resolved;  // where the copy is
    };
    const Case cases[] = {
        {"a plain folder", dir.Path(), dir.Path()},
        {"a folder reached through a link", linked + L"\\" + target.Name(), target.Path()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring copy = c.folder + L"\\REGSVR32.EXE";
        services.CopyFileTo(helpers + L"\\marker.exe", copy);
        const std::wstring marker = c.resolved + L"\\started.txt";
        ASSERT_TRUE(
            StartWorkingCopy(services, nullptr, helpers + L"\\marker.exe", c.folder, copy, kRegisterSwitch, marker));
        const std::wstring report = WaitForReport(marker);
        EXPECT_NE(report.find(L"command=" + copy + L" " + marker + L"\n"), std::wstring::npos) << Utf8(report);
        const std::size_t at = report.find(L"program=");
        ASSERT_NE(at, std::wstring::npos);
        const std::wstring program = report.substr(at + 8, report.find(L'\n', at) - at - 8);
        EXPECT_EQ(CompareStringOrdinal(program.c_str(), -1, (c.resolved + L"\\REGSVR32.EXE").c_str(), -1, TRUE),
                  CSTR_EQUAL)
            << Utf8(program);
        WaitFor([&] { return DeleteFileW(copy.c_str()) != FALSE; });
    }
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
