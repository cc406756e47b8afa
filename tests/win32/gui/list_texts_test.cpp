// The texts of the real window's three lists, read from this process the standard way, as a
// screen reader or a UI automation script reads them (list_reader.h). What they answer must be
// what the lists show: the folders and components of the folder on disk and the system's drives.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "tests/win32/gui/app_driver.h"
#include "tests/win32/gui/folder_listing.h"
#include "tests/win32/gui/list_reader.h"

namespace {

using namespace tervalux::win32::testing;
using std::chrono::seconds;

const std::wstring kTree = L"C:\\tvxtexts";
const std::wstring kRootComponent = L"C:\\tvxtexts raiz.ocx";

// The folder list's entries for a path: each step from the root down ("c:\" for the root, bare
// names below it), then the subfolders of the last step.
Texts FolderEntries(const Texts& steps, const std::wstring& folder) {
    Texts entries = steps;
    const Texts below = ListingOf(folder).folders;
    entries.insert(entries.end(), below.begin(), below.end());
    return entries;
}

// The drive list's entries: every drive in letter order, its letter in lower case and a colon,
// and a fixed drive's volume label in brackets when it has one. (Network drives, which show
// their share's name, are compared by letter only.)
struct DriveTexts {
    Texts expected;
    std::vector<bool> letterOnly;
};

DriveTexts SystemDrives() {
    DriveTexts drives;
    wchar_t buffer[26 * 4 + 1] = {};
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
    for (const wchar_t* root = buffer; root < buffer + length && *root != L'\0'; root += wcslen(root) + 1) {
        std::wstring text{static_cast<wchar_t>(towlower(root[0])), L':'};
        const UINT type = GetDriveTypeW(root);
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
            wchar_t label[MAX_PATH + 1] = {};
            if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
                label[0] != L'\0') {
                text += std::wstring(L" [") + label + L"]";
            }
        }
        drives.expected.push_back(text);
        drives.letterOnly.push_back(type == DRIVE_REMOTE);
    }
    return drives;
}

class ListTextsTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        TearDownTestSuite();
        for (const wchar_t* folder : {L"alfa", L"Beta", L"Gama dois", L"pasta.dll", L"\u00e7\u00e3o"}) {
            MakeFolder(kTree + L"\\" + folder);
        }
        for (const wchar_t* file : {L"Um.ocx", L"dois.DLL", L"tr\u00eas.ocx", L"nota.txt", L"prog.exe",
                                    L"um componente de nome comprido, com espa\u00e7os e v\u00edrgulas.ocx"}) {
            WriteBytes(kTree + L"\\" + file, "component");
        }
        WriteBytes(kRootComponent, "component");
    }
    static void TearDownTestSuite() {
        RemoveTree(kTree);
        DeleteFileW(kRootComponent.c_str());
    }

    void SetUp() override {
        ASSERT_NE(app_.Form(), nullptr) << "no window \"Tervalux\"";
        ASSERT_EQ(app_.Children().size(), layout::kControlCount);
    }
    void TearDown() override {
        PostMessageW(app_.Form(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app_.Ended());
    }

    HWND Control(std::string_view name) const { return app_.Control(name); }
    LRESULT Count(std::string_view list) const { return Ask(Control(list), LB_GETCOUNT); }

    // What the folder list tells its form on a double click on an entry.
    void OpenFolderEntry(LRESULT index) const {
        const HWND list = Control("Dir");
        Ask(list, LB_SETCURSEL, static_cast<WPARAM>(index));
        PostMessageW(app_.Form(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    }

    Running app_;
};

TEST_F(ListTextsTest, EveryEntryOfTheThreeListsReadsAsShown) {
    // Start-up shows drive C's root.
    const Texts rootFolders = FolderEntries({L"c:\\"}, L"C:\\");
    const Texts rootComponents = ComponentsOf(L"C:\\");
    ASSERT_GE(rootComponents.size(), 1u);
    ASSERT_TRUE(WaitFor([&] { return Count("File") == static_cast<LRESULT>(rootComponents.size()); }, seconds(20)))
        << Count("File");
    EXPECT_EQ(ListBoxTexts(Control("Dir")), rootFolders);
    EXPECT_EQ(ListBoxTexts(Control("File")), rootComponents);

    const DriveTexts drives = SystemDrives();
    const Texts shown = ComboTexts(Control("Drive"));
    ASSERT_EQ(shown.size(), drives.expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (drives.letterOnly[i]) {
            EXPECT_EQ(shown[i].substr(0, 2), drives.expected[i]);
        } else {
            EXPECT_EQ(shown[i], drives.expected[i]);
        }
    }

    // Opened one level down: the path's two steps, without indent, then the subfolders; the
    // file list follows with the components only (not the folder named like one, not the others).
    const auto at = std::find(rootFolders.begin(), rootFolders.end(), L"tvxtexts");
    ASSERT_NE(at, rootFolders.end());
    OpenFolderEntry(at - rootFolders.begin());
    const Texts treeFolders = FolderEntries({L"c:\\", L"tvxtexts"}, kTree);
    const Texts treeComponents = ComponentsOf(kTree);
    ASSERT_EQ(treeFolders.size(), 7u);
    ASSERT_EQ(treeComponents.size(), 4u);
    ASSERT_TRUE(WaitFor(
        [&] {
            return Count("Dir") == static_cast<LRESULT>(treeFolders.size()) &&
                   Count("File") == static_cast<LRESULT>(treeComponents.size());
        },
        seconds(20)))
        << Count("Dir") << " " << Count("File");
    EXPECT_EQ(ListBoxTexts(Control("Dir")), treeFolders);
    EXPECT_EQ(ListBoxTexts(Control("File")), treeComponents);
}

}  // namespace
