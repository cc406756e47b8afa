#include "platform/win32/win32_services.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "platform/pe_machine.h"
#include "platform/win32/file_handles.h"
#include "platform/win32/held_file.h"
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

// Both ways of marking a held file for deletion take the file held: it goes when the hold ends, and
// nothing can take its place before. A read-only file is refused with 70 either way.
TEST_F(Win32ServicesFiles, DeleteThroughTheHoldByEitherCall) {
    WriteBytes(dir / L"other.exe", "someone else's program");
    const auto holdForDeleting = [](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    for (const DispositionCall call : {DispositionCall::Kernel32, DispositionCall::Ntdll}) {
        SCOPED_TRACE(call == DispositionCall::Kernel32 ? "kernel32" : "ntdll");
        const std::wstring copy = dir / L"regsvr32.exe";
        WriteBytes(copy, "ours");
        {
            const Handle held(holdForDeleting(copy));
            ASSERT_TRUE(held.Valid());
            DeleteThroughHandle(held.Get(), call);
            EXPECT_FALSE(CopyFileW((dir / L"other.exe").c_str(), copy.c_str(), FALSE));
        }
        EXPECT_FALSE(Exists(copy));

        const std::wstring locked = dir / L"locked.exe";
        WriteBytes(locked, "keep");
        SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
        {
            const Handle held(holdForDeleting(locked));
            ASSERT_TRUE(held.Valid());
            EXPECT_EQ(ErrorNumberOf([&] { DeleteThroughHandle(held.Get(), call); }), 70);
        }
        EXPECT_TRUE(Exists(locked));
        SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(locked.c_str());
    }
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

    // What tells a file that differs from one that cannot be read, once a comparison has failed.
    EXPECT_EQ(ErrorNumberOf([&] { services.ReadWholeFile(dir / L"A"); }), 0);
    EXPECT_EQ(ErrorNumberOf([&] { services.ReadWholeFile(dir / L"missing"); }), 53);
    const HANDLE exclusive = CreateFileW((dir / L"a").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(services.SameContents(dir / L"a", dir / L"b"));
    EXPECT_EQ(ErrorNumberOf([&] { services.ReadWholeFile(dir / L"a"); }), 70);
    CloseHandle(exclusive);
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

// The box itself: needs a display (under Wine, the X display named in DISPLAY). Another thread finds
// it, reads it and presses OK.
TEST(Win32ServicesMessage, BoxCarriesTheApplicationTitleThePromptAndOneOkButton) {
    if (RunningUnderWine() && GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) return CannotRunHere("no display");
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
