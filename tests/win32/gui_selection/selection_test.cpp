// The file selection of the real tervalux.exe, driven from outside with window messages as a
// user's gestures reach the lists: a drive chosen in the drive list, a folder opened by a double
// click in the folder list, a file clicked and double-clicked in the file list, a name typed into
// the box and Enter. The lists draw their entries themselves and hold no texts, so what they show
// is told by their counts and selections against the folders the test made. Every wait is for a
// state, never for a fixed time.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cwctype>
#include <string>
#include <string_view>
#include <vector>

#include "tests/win32/gui/app_driver.h"
#include "tests/win32/gui/folder_listing.h"
#include "tests/win32/gui/list_reader.h"
#include "tests/win32/gui_selection/selection_files.h"

namespace {

using namespace tervalux::win32::testing;
using std::chrono::seconds;

const std::wstring kNotReady = L"O Dispositivo n\u00e3o est\u00e1 pronto";
const std::wstring kNotAProgram = L"Verifique se o arquivo que est\u00e1 tentando executar \u00e9 um aplicativo '.exe'";
const std::wstring kFileNotFound = L"Arquivo n\u00e3o encontrado";

// The tree the tests pick from, in the prefix's drive C (where a user's own folders would be).
const std::wstring kTree = L"C:\\tvxsel";
const std::wstring kSub = L"C:\\tvxsel\\Sub";
const std::wstring kRootComponent = L"C:\\tvxselroot.ocx";
const std::wstring kRootProgram = L"C:\\tvxselroot.exe";
const std::wstring kSubProgram = L"C:\\tvxsel\\Sub\\prog um.exe";

// The text the drive list shows now.
std::wstring ShownDrive(HWND combo) {
    const LRESULT index = Ask(combo, CB_GETCURSEL);
    const auto texts = ComboTexts(combo);
    return index >= 0 && static_cast<std::size_t>(index) < texts.size() ? texts[static_cast<std::size_t>(index)] : L"";
}

bool ShowsDrive(HWND combo, wchar_t letter) {
    const std::wstring shown = ShownDrive(combo);
    return shown.size() >= 2 && towupper(shown[0]) == letter && shown[1] == L':';
}

class SelectionTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        TearDownTestSuite();
        MakeFolder(kSub);
        WriteBytes(kSub + L"\\a.ocx", "not a program");
        WriteBytes(kSub + L"\\b.dll", "not a program");
        WriteBytes(kSub + L"\\c.txt", "text");
        WriteBytes(kRootComponent, "not a program");
        const std::wstring marker = TestProgramFolder() + L"\\selection_marker.exe";
        for (const std::wstring& copy : {kSubProgram, kRootProgram}) {
            ASSERT_TRUE(CopyFileW(marker.c_str(), copy.c_str(), FALSE)) << GetLastError();
        }
    }
    static void TearDownTestSuite() {
        RemoveTree(kTree);
        for (const std::wstring& file :
             {kRootComponent, kRootProgram, kRootProgram + L".report", kRootProgram + L".release"}) {
            DeleteFileW(file.c_str());
        }
    }

    void SetUp() override {
        ASSERT_NE(app_.Form(), nullptr) << "no window \"Tervalux\"";
        ASSERT_EQ(app_.Children().size(), layout::kControlCount);
        // Start-up has put every list on drive C.
        ASSERT_TRUE(WaitFor([&] { return ListCount("File") == ComponentCount(L"C:\\"); }, seconds(20)));
    }
    void TearDown() override {
        app_.ExpectNoMessage();  // every test ends without a box: one still standing was not expected
        PostMessageW(app_.Form(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app_.Ended());
    }

    HWND Control(std::string_view name) const { return app_.Control(name); }
    LRESULT ListCount(std::string_view list) const { return Ask(Control(list), LB_GETCOUNT); }
    LRESULT ListSelection(std::string_view list) const { return Ask(Control(list), LB_GETCURSEL); }

    // What a list tells its form when the user acts on it.
    void Notify(std::string_view child, WORD code) const {
        const HWND control = Control(child);
        PostMessageW(app_.Form(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                     reinterpret_cast<LPARAM>(control));
    }

    // The drive list's selection moved to `letter` by the user.
    void ChooseDrive(wchar_t letter) const {
        const auto texts = ComboTexts(Control("Drive"));
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!texts[i].empty() && towupper(texts[i][0]) == letter) {
                Ask(Control("Drive"), CB_SETCURSEL, i);
                Notify("Drive", CBN_SELCHANGE);
                return;
            }
        }
        ADD_FAILURE() << "drive " << static_cast<char>(letter) << ": is not in the drive list";
    }

    // A click, or a double click, on an entry of a list. The file list catches up with its folder
    // through a posted message, and a click must not land before it: the list would take back the
    // selection.
    void ClickEntry(std::string_view list, LRESULT index) const {
        app_.Settle();
        Ask(Control(list), LB_SETCURSEL, static_cast<WPARAM>(index));
        Notify(list, LBN_SELCHANGE);
    }
    void DoubleClickEntry(std::string_view list, LRESULT index) const {
        ClickEntry(list, index);
        Notify(list, LBN_DBLCLK);
    }

    // The file list on C:\tvxsel\Sub, reached from drive C's root by a double click and by Enter.
    void OpenSub() const {
        const Texts folders = ListingOf(L"C:\\").folders;
        const auto tvxsel = std::find(folders.begin(), folders.end(), L"tvxsel");
        ASSERT_NE(tvxsel, folders.end());
        DoubleClickEntry("Dir", 1 + (tvxsel - folders.begin()));  // after the root
        // The path (root, tvxsel) and its one subfolder.
        ASSERT_TRUE(WaitFor([&] { return ListCount("Dir") == 3 && ListSelection("Dir") == 1; }, seconds(20)))
            << ListCount("Dir") << " " << ListSelection("Dir");
        app_.Settle();
        Ask(Control("Dir"), LB_SETCURSEL, 2);
        PostMessageW(Control("Dir"), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        ASSERT_TRUE(WaitFor([&] { return ListSelection("Dir") == 2; }, seconds(20)));
        EXPECT_EQ(ListCount("Dir"), 3);
        // a.ocx and b.dll; not c.txt nor the program.
        ASSERT_TRUE(WaitFor([&] { return ListCount("File") == 2; }, seconds(20))) << ListCount("File");
        EXPECT_EQ(ListSelection("File"), -1);
    }

    // Double clicks have started `program`, a marker: in a normal window, with `expectedCommand`,
    // and the window goes on working while the program still runs.
    void ExpectStartedWithoutWaiting(const std::wstring& program, const std::wstring& expectedCommand) const {
        const HWND form = app_.Form();
        const std::wstring report = program + L".report";
        const std::wstring release = program + L".release";
        // Until the report can be read whole: the file can be seen a moment before it can be read
        // under Wine while the program puts it in place.
        ASSERT_TRUE(WaitFor([&] { return Exists(report) && ReportOf(program).pid != 0; }, seconds(30)))
            << "the program was not started";
        const Started started = ReportOf(program);
        EXPECT_EQ(started.show, std::to_wstring(SW_SHOWNORMAL));
        EXPECT_EQ(_wcsicmp(started.command.c_str(), expectedCommand.c_str()), 0) << Utf8(started.command);

        // The program runs on, waiting to be released, and the window answers meanwhile.
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, started.pid);
        ASSERT_NE(process, nullptr) << GetLastError();
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
        EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program had already ended";
        WriteBytes(release, "go");
        EXPECT_EQ(WaitForSingleObject(process, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
        CloseHandle(process);
        DeleteFileW(report.c_str());
        DeleteFileW(release.c_str());
        app_.ExpectNoMessage();  // instead of, or after, the start
    }

    Running app_;
};

TEST_F(SelectionTest, AReadyDriveMovesTheListsToItsRoot) {
    const wchar_t other = OtherReadyDrive();
    if (other == 0) return CannotRunHere("no ready drive besides C");
    // Another drive and back to C.
    ChooseDrive(other);
    EXPECT_TRUE(
        WaitFor([&] { return ShowsDrive(Control("Drive"), other) && ListCount("Dir") == RootFolderEntries(other); },
                seconds(20)))
        << ListCount("Dir");
    EXPECT_EQ(ListSelection("Dir"), 0);
    EXPECT_TRUE(WaitFor([&] { return ListCount("File") == ComponentCount(DriveRoot(other)); }, seconds(20)));

    ChooseDrive(L'C');
    EXPECT_TRUE(WaitFor([&] { return ListCount("Dir") == RootFolderEntries(L'C'); }, seconds(20))) << ListCount("Dir");
    EXPECT_EQ(ListSelection("Dir"), 0);
    EXPECT_TRUE(ShowsDrive(Control("Drive"), L'C')) << ShownDrive(Control("Drive"));
    // The component at C's root, and only the components.
    EXPECT_TRUE(WaitFor([&] { return ListCount("File") == ComponentCount(L"C:\\"); }, seconds(20)))
        << ListCount("File");
    EXPECT_GE(ListCount("File"), 1);
}

TEST_F(SelectionTest, ADriveWhoseTargetIsGoneSaysSoOnceAndLandsOnC) {
    // The test set-up maps drive T: to a folder that does not exist.
    if ((GetLogicalDrives() & (1u << (kGoneDrive - L'A'))) == 0) return CannotRunHere("drive T: is not mapped");
    if (GetFileAttributesW(DriveRoot(kGoneDrive).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return CannotRunHere("drive T: is a ready drive here");
    }
    const wchar_t other = OtherReadyDrive();
    if (other == 0) return CannotRunHere("no ready drive besides C");

    // Another ready drive first: the failure goes back to C, not to the drive chosen before.
    ChooseDrive(other);
    ASSERT_TRUE(WaitFor([&] { return ListCount("Dir") == RootFolderEntries(other); }, seconds(20)));

    ChooseDrive(kGoneDrive);
    ASSERT_TRUE(app_.ExpectMessage(kNotReady));
    EXPECT_TRUE(WaitFor([&] { return ShowsDrive(Control("Drive"), L'C'); }, seconds(20)))
        << ShownDrive(Control("Drive"));
    EXPECT_TRUE(WaitFor([&] { return ListCount("Dir") == RootFolderEntries(L'C'); }, seconds(20))) << ListCount("Dir");
    EXPECT_EQ(ListSelection("Dir"), 0);
    EXPECT_TRUE(WaitFor([&] { return ListCount("File") == ComponentCount(L"C:\\"); }, seconds(20)))
        << ListCount("File");
    app_.ExpectNoMessage();  // once

    // The lists work on from there.
    ChooseDrive(other);
    EXPECT_TRUE(WaitFor([&] { return ListCount("Dir") == RootFolderEntries(other); }, seconds(20)));
}

TEST_F(SelectionTest, FoldersFilesAndTheNameBox) {
    const HWND txtarq = Control("txtarq");
    SendMessageW(txtarq, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed before"));

    // Opening folders moves the file list and leaves the box alone.
    ASSERT_NO_FATAL_FAILURE(OpenSub());
    EXPECT_EQ(TextOf(txtarq), L"typed before");

    // A click puts the bare name into the box.
    ClickEntry("File", 1);
    EXPECT_TRUE(WaitFor([&] { return TextOf(txtarq) == L"b.dll"; }, seconds(20))) << TextOf(txtarq).c_str();

    // A name and Enter selects that file; keys other than Enter only edit the box.
    SendMessageW(txtarq, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a.ocx"));
    Ask(txtarq, WM_CHAR, L'x', 0x002D0001);
    EXPECT_EQ(ListSelection("File"), 1);
    ASSERT_TRUE(EnterInBox(txtarq, L"A.OCX"));
    EXPECT_TRUE(WaitFor([&] { return ListSelection("File") == 0; }, seconds(20))) << ListSelection("File");
    app_.ExpectNoMessage();

    // A name the list cannot take: the message, the typed text kept, the selection as it was.
    SendMessageW(txtarq, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"c.txt"));
    PostMessageW(txtarq, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ASSERT_TRUE(app_.ExpectMessage(kFileNotFound));
    EXPECT_EQ(TextOf(txtarq), L"c.txt");
    EXPECT_EQ(ListSelection("File"), 0);
    EXPECT_EQ(ListCount("File"), 2);

    // A double click on a component: it is no program.
    DoubleClickEntry("File", 0);
    ASSERT_TRUE(app_.ExpectMessage(kNotAProgram));
    EXPECT_EQ(TextOf(txtarq), L"a.ocx");
    app_.ExpectNoMessage();

    // A pattern typed into the box shows the programs; a double click starts one, its path
    // quoted for the blank in its name.
    ASSERT_TRUE(EnterInBox(txtarq, L"*.exe"));
    ASSERT_TRUE(WaitFor([&] { return ListCount("File") == 1; }, seconds(20))) << ListCount("File");
    DoubleClickEntry("File", 0);
    EXPECT_TRUE(WaitFor([&] { return TextOf(txtarq) == L"prog um.exe"; }, seconds(20)));
    ExpectStartedWithoutWaiting(kSubProgram, L"\"c:\\tvxsel\\Sub\\prog um.exe\"");
}

TEST_F(SelectionTest, AProgramInADriveRootIsStartedWithTheJoinedPath) {
    // At a root the folder and the name are joined with a second backslash, passed on as it is.
    ASSERT_TRUE(EnterInBox(Control("txtarq"), L"*.exe"));
    const Texts programs = FilesEndingIn(L"C:\\", std::array{L".exe"});
    ASSERT_TRUE(WaitFor([&] { return ListCount("File") == static_cast<LRESULT>(programs.size()); }, seconds(20)));
    const auto program = std::find(programs.begin(), programs.end(), L"tvxselroot.exe");
    ASSERT_NE(program, programs.end());
    DoubleClickEntry("File", program - programs.begin());
    ExpectStartedWithoutWaiting(kRootProgram, L"c:\\\\tvxselroot.exe");
}

}  // namespace
