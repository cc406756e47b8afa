#include "platform/win32/win32_services.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "platform/pe_machine.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;

class Win32ServicesFiles : public ::testing::Test {
   protected:
    ScratchFolder dir;
    Win32Services services;
};

TEST_F(Win32ServicesFiles, CopyCreatesAndOverwrites) {
    WriteBytes(dir / L"a.ocx", "new bytes");
    services.CopyFileTo(dir / L"a.ocx", dir / L"b.ocx");
    EXPECT_EQ(ReadBytes(dir / L"b.ocx"), "new bytes");

    WriteBytes(dir / L"a.ocx", "newer");
    services.CopyFileTo(dir / L"a.ocx", dir / L"b.ocx", Overwrite::Yes);
    EXPECT_EQ(ReadBytes(dir / L"b.ocx"), "newer");

    services.CopyFileTo(dir / L"a.ocx", dir / L"c.ocx", Overwrite::No);
    EXPECT_EQ(ReadBytes(dir / L"c.ocx"), "newer");
}

TEST_F(Win32ServicesFiles, CopyFailuresRaiseTheirNumbersAndLeaveTheDestination) {
    struct Case {
        const char* what;
        std::wstring source;
        std::wstring destination;
        Overwrite overwrite;
        bool readOnlyDestination;
        int number;
    };
    WriteBytes(dir / L"src.dll", "source");
    const Case cases[] = {
        {"missing source", dir / L"none.dll", dir / L"out1.dll", Overwrite::Yes, false, 53},
        {"destination folder missing", dir / L"src.dll", dir / L"no\\such\\out.dll", Overwrite::Yes, false, 76},
        {"read-only destination", dir / L"src.dll", dir / L"ro.dll", Overwrite::Yes, true, 70},
        {"existing destination, no overwrite", dir / L"src.dll", dir / L"kept.dll", Overwrite::No, false, 58},
    };
    for (const Case& c : cases) {
        const bool hadDestination = c.readOnlyDestination || c.number == 58;
        if (hadDestination) {
            WriteBytes(c.destination, "original");
            if (c.readOnlyDestination) SetFileAttributesW(c.destination.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        EXPECT_EQ(ErrorNumberOf([&] { services.CopyFileTo(c.source, c.destination, c.overwrite); }), c.number)
            << c.what;
        if (hadDestination) {
            EXPECT_EQ(ReadBytes(c.destination), "original") << c.what;
        } else {
            EXPECT_FALSE(Exists(c.destination)) << c.what;
        }
    }
}

// The machine of real images built here, and nothing for whatever is not one.
TEST_F(Win32ServicesFiles, ImageMachineOfRealFiles) {
    const std::wstring built = TestProgramFolder();
#if defined(_M_X64) || defined(__x86_64__)
    const std::uint16_t own = kMachineAmd64;
#elif defined(_M_ARM64) || defined(__aarch64__)
    const std::uint16_t own = kMachineArm64;
#else
    const std::uint16_t own = kMachineI386;
#endif
    EXPECT_EQ(services.ImageMachineOf(built + L"\\tvxcomp.dll"), own);
    EXPECT_EQ(services.ImageMachineOf(built + L"\\marker.exe"), own);
    WriteBytes(dir / L"text.ocx", "not an image at all");
    WriteBytes(dir / L"empty.ocx", "");
    WriteBytes(dir / L"mz.ocx", std::string("MZ") + std::string(100, '\xFF'));
    for (const std::wstring& path : {dir / L"text.ocx", dir / L"empty.ocx", dir / L"mz.ocx", dir / L"missing.ocx",
                                     dir / L"no\\missing.ocx", dir.Path()}) {
        EXPECT_EQ(services.ImageMachineOf(path), std::nullopt) << ::testing::PrintToString(path);
    }
}

TEST_F(Win32ServicesFiles, AttributesReportTheBitsAndMissingFilesFail) {
    WriteBytes(dir / L"plain.ocx", "x");
    SetFileAttributesW((dir / L"plain.ocx").c_str(), FILE_ATTRIBUTE_ARCHIVE);
    WriteBytes(dir / L"ro.ocx", "x");
    SetFileAttributesW((dir / L"ro.ocx").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_NE(services.FileAttributes(dir / L"plain.ocx") & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_EQ(services.FileAttributes(dir / L"plain.ocx") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(services.FileAttributes(dir / L"ro.ocx") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(services.FileAttributes(dir.Path()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    // Only the classic bits come through, whatever else the file system adds.
    for (const std::wstring& path : {dir / L"plain.ocx", dir / L"ro.ocx", dir.Path()}) {
        EXPECT_EQ(services.FileAttributes(path) & ~kClassicAttributeBits, 0u);
    }
    // A missing file is 53 however much of its path is missing too.
    for (const std::wstring& missing :
         {dir / L"missing.ocx", dir / L"no\\missing.ocx", dir / L"no\\deeper\\missing.ocx",
          dir / L"plain.ocx\\missing.ocx", std::wstring(L"C:\\tervalux-none\\a.ocx")}) {
        EXPECT_EQ(ErrorNumberOf([&] { services.FileAttributes(missing); }), 53) << ::testing::PrintToString(missing);
    }
}

TEST_F(Win32ServicesFiles, DeleteRemovesAFileAndRefusesMissingOrReadOnly) {
    WriteBytes(dir / L"regsvr32.exe", "copy");
    services.DeleteFileAt(dir / L"REGSVR32.EXE");
    EXPECT_FALSE(Exists(dir / L"regsvr32.exe"));

    EXPECT_EQ(ErrorNumberOf([&] { services.DeleteFileAt(dir / L"regsvr32.exe"); }), 53);

    WriteBytes(dir / L"locked.exe", "keep");
    SetFileAttributesW((dir / L"locked.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ErrorNumberOf([&] { services.DeleteFileAt(dir / L"locked.exe"); }), 70);
    EXPECT_TRUE(Exists(dir / L"locked.exe"));
}

TEST_F(Win32ServicesFiles, SameFileSeesThroughSpellings) {
    MakeFolder(dir / L"Comp");
    WriteBytes(dir / L"Comp\\A.ocx", "same");
    WriteBytes(dir / L"Comp\\B.ocx", "same");
    std::wstring upper = dir.Path();
    CharUpperW(upper.data());

    struct Case {
        std::wstring a;
        std::wstring b;
        bool same;
    };
    const Case cases[] = {
        {dir / L"Comp\\A.ocx", dir / L"Comp\\A.ocx", true},
        {dir / L"Comp\\A.ocx", upper + L"\\COMP\\a.OCX", true},
        {dir / L"Comp\\A.ocx", dir / L"Comp\\\\A.ocx", true},
        {dir / L"Comp\\A.ocx", dir / L"Comp/A.ocx", true},
        {dir / L"Comp", upper + L"\\comp", true},
        {dir / L"Comp", dir / L"Comp\\", true},
        {dir / L"Comp\\A.ocx", dir / L"Comp\\B.ocx", false},  // same bytes, other file
        {dir / L"Comp\\A.ocx", dir / L"Comp", false},
        {dir / L"Comp\\A.ocx", dir / L"Comp\\missing.ocx", false},
        {dir / L"missing.ocx", dir / L"missing.ocx", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(services.SameFile(c.a, c.b), c.same)
            << std::string(c.a.begin(), c.a.end()) << " vs " << std::string(c.b.begin(), c.b.end());
    }
}

TEST_F(Win32ServicesFiles, SameContentsComparesEveryByte) {
    const std::string big(200 * 1024, 'r');  // more than one read
    std::string bigChangedAtEnd = big;
    bigChangedAtEnd.back() = 's';
    WriteBytes(dir / L"a", big);
    WriteBytes(dir / L"b", big);
    WriteBytes(dir / L"c", bigChangedAtEnd);
    WriteBytes(dir / L"d", big + "x");
    WriteBytes(dir / L"e1", "");
    WriteBytes(dir / L"e2", "");

    EXPECT_TRUE(services.SameContents(dir / L"a", dir / L"b"));
    EXPECT_TRUE(services.SameContents(dir / L"a", dir / L"A"));
    EXPECT_TRUE(services.SameContents(dir / L"e1", dir / L"e2"));
    EXPECT_FALSE(services.SameContents(dir / L"a", dir / L"c"));
    EXPECT_FALSE(services.SameContents(dir / L"a", dir / L"d"));
    EXPECT_FALSE(services.SameContents(dir / L"a", dir / L"missing"));
    EXPECT_FALSE(services.SameContents(dir / L"missing", dir / L"missing"));
    EXPECT_FALSE(services.SameContents(dir.Path(), dir.Path()));
}

TEST_F(Win32ServicesFiles, FileExistsOnlyForFiles) {
    WriteBytes(dir / L"x.dll", "x");
    EXPECT_TRUE(services.FileExists(dir / L"X.DLL"));
    EXPECT_FALSE(services.FileExists(dir.Path()));
    EXPECT_FALSE(services.FileExists(dir / L"y.dll"));
    EXPECT_FALSE(services.FileExists(dir / L"no\\y.dll"));
}

// Folder names with blanks and characters outside any ANSI code page.
TEST_F(Win32ServicesFiles, PathsWithBlanksAndNonAnsiCharacters) {
    const std::wstring folder = dir / L"Componentes \u00e7\u00e3o\\\u65e5\u672c";
    MakeFolder(folder);
    WriteBytes(dir / L"src.ocx", "component");

    services.CopyFileTo(dir / L"src.ocx", folder + L"\\\u00e7\u00e3o.ocx");
    EXPECT_EQ(ReadBytes(folder + L"\\\u00e7\u00e3o.ocx"), "component");
    EXPECT_NE(services.FileAttributes(folder + L"\\\u00e7\u00e3o.ocx") & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_TRUE(services.FileExists(folder + L"\\\u00c7\u00c3O.OCX"));
    EXPECT_TRUE(services.SameFile(folder + L"\\\u00e7\u00e3o.ocx", folder + L"\\\\\u00c7\u00c3O.ocx"));
    EXPECT_TRUE(services.SameContents(dir / L"src.ocx", folder + L"\\\u00e7\u00e3o.ocx"));
    services.DeleteFileAt(folder + L"\\\u00e7\u00e3o.ocx");
    EXPECT_FALSE(Exists(folder + L"\\\u00e7\u00e3o.ocx"));
}

TEST_F(Win32ServicesFiles, PathsPastMaxPath) {
    std::wstring folder = dir.Path();
    while (folder.size() < 300) folder += L"\\pasta com nome comprido";
    MakeFolder(folder);
    const std::wstring file = folder + L"\\componente.ocx";
    ASSERT_GT(file.size(), 260u);
    WriteBytes(dir / L"src.ocx", "long");

    services.CopyFileTo(dir / L"src.ocx", file);
    EXPECT_EQ(ReadBytes(file), "long");
    EXPECT_NE(services.FileAttributes(file) & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_TRUE(services.FileExists(file));
    EXPECT_TRUE(services.SameContents(dir / L"src.ocx", file));

    std::wstring doubled = file;
    doubled.insert(doubled.rfind(L'\\'), L"\\");
    std::wstring slashed = file;
    slashed[slashed.rfind(L'\\')] = L'/';
    EXPECT_TRUE(services.SameFile(file, doubled));
    EXPECT_TRUE(services.SameFile(file, slashed));
    EXPECT_TRUE(services.SameFile(file, folder + L"\\sub\\..\\componente.ocx"));

    services.CopyFileTo(file, file + L".bak");
    EXPECT_EQ(ErrorNumberOf([&] { services.CopyFileTo(file, file + L".bak", Overwrite::No); }), 58);
    services.DeleteFileAt(file);
    EXPECT_FALSE(services.FileExists(file));
    EXPECT_EQ(ErrorNumberOf([&] { services.FileAttributes(file); }), 53);
}

TEST(Win32ServicesPaths, OnlyLongAbsoluteDrivePathsGetTheExtendedForm) {
    const std::wstring longTail(300, L'x');
    EXPECT_EQ(ForFileApi(L"C:\\a\\\\b/c.ocx"), L"C:\\a\\\\b/c.ocx");  // short: the system cleans it up
    EXPECT_EQ(ForFileApi(L"C:\\a\\\\b/" + longTail), L"\\\\?\\C:\\a\\b\\" + longTail);
    EXPECT_EQ(ForFileApi(L"c:/a/./b/../" + longTail), L"\\\\?\\c:\\a\\" + longTail);
    EXPECT_EQ(ForFileApi(L"relative\\" + longTail), L"relative\\" + longTail);
    EXPECT_EQ(ForFileApi(L"\\\\server\\share\\" + longTail), L"\\\\server\\share\\" + longTail);
}

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

// The box itself: needs a display. Another thread finds it, reads it and presses OK.
TEST(Win32ServicesMessage, BoxCarriesTheApplicationTitleThePromptAndOneOkButton) {
    if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) GTEST_SKIP() << "no display";
    Win32Services services;
    EXPECT_EQ(services.ApplicationTitle(), L"Quenlor");
    const std::wstring prompt = L"Arquivo n\u00e3o encontrado 53";

    struct Seen {
        std::wstring text;
        int visibleButtons = 0;
        bool okVisible = false;
        bool iconVisible = false;  // an icon image shown beside the text
    };
    std::optional<Seen> seen;
    std::atomic<bool> done{false};
    std::thread closer([&] {
        HWND box = nullptr;
        WaitFor([&] {
            box = FindWindowW(L"#32770", L"Quenlor");
            return box != nullptr || done.load();
        });
        if (box == nullptr) return;
        Seen s;
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        s.text = text;
        for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            HWND button = GetDlgItem(box, id);
            if (button != nullptr && IsWindowVisible(button)) ++s.visibleButtons;
        }
        s.okVisible = IsWindowVisible(GetDlgItem(box, IDOK)) != FALSE;
        HWND icon = GetDlgItem(box, 0x0440);  // the box's icon control
        s.iconVisible = icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
        seen = s;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    services.ShowMessage(prompt);
    done = true;
    closer.join();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, prompt);
    EXPECT_TRUE(seen->okVisible);
    EXPECT_EQ(seen->visibleButtons, 1);
    EXPECT_FALSE(seen->iconVisible);
}

}  // namespace
}  // namespace tervalux::win32
