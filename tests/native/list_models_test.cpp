// The drive, folder and file list models on the in-memory file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <compare>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_queries.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "runtime/drive_list.h"
#include "runtime/file_list.h"
#include "runtime/folder_list.h"
#include "tests/fakes/memory_file_queries.h"

namespace tervalux::rt {
namespace {

struct EventLog : EventSink {
    std::vector<std::wstring> events;
    void Raise(Control& source, EventId event, EventArgs&) override {
        events.push_back(source.Name() + L"_" + std::wstring(EventName(event)));
    }
};

struct Disk {
    fake::MemoryFileSystem fs;
    fake::MemoryFileQueries queries{fs};
    EventLog log;

    Disk() {
        queries.AddDrive(L'D', L"DADOS");
        queries.AddDrive(L'E');
        queries.SetNotReady(L'E');
        queries.AddDrive(L'G');
        queries.SetNotReady(L'G', err::DeviceUnavailable);
        fs.AddFile(L"C:\\b.DLL");
        fs.AddFile(L"C:\\a.ocx");
        fs.AddFile(L"C:\\Zeta.ocx");
        fs.AddFile(L"C:\\readme.txt");
        fs.AddFile(L"C:\\prog.exe");
        fs.AddFile(L"C:\\oculto.ocx", "", fake::kArchive | fake::kHidden);
        fs.AddFile(L"C:\\sistema.dll", "", fake::kSystem);
        fs.AddFile(L"C:\\Sub\\x.ocx");
        fs.AddFile(L"C:\\Sub\\Deep\\y.dll");
        fs.AddFolder(L"C:\\sub2");
        fs.AddFolder(L"C:\\Arquivos");
        fs.AddFile(L"D:\\d1.ocx");
    }
};

std::vector<std::wstring> Names(FileList& list) {
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < list.ListCount(); ++i) names.emplace_back(list.List(i));
    return names;
}

std::int32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

// ---- Drive list

TEST(DriveListModel, ShowsEveryDriveAndStartsOnTheCurrentOne) {
    Disk disk;
    disk.queries.currentDrive = L'D';
    DriveList drive(L"Drive", {}, 0, disk.queries);
    ASSERT_EQ(drive.ListCount(), 4u);
    EXPECT_EQ(drive.List(0), L"c:");
    EXPECT_EQ(drive.List(1), L"d: [DADOS]");
    EXPECT_EQ(drive.Drive(), L"d: [DADOS]");

    disk.queries.currentDrive = 0;  // not on a drive letter: the first drive
    EXPECT_EQ(DriveList(L"Drive", {}, 0, disk.queries).Drive(), L"c:");
}

TEST(DriveListModel, WritingSelectsByTheFirstLetterAndRaisesChangeOnlyOnAMove) {
    Disk disk;
    DriveList drive(L"Drive", {}, 0, disk.queries);
    drive.AttachSink(&disk.log);
    struct Step {
        const wchar_t* text;
        const wchar_t* shown;
        int changes;
    };
    const Step steps[] = {
        {L"c", L"c:", 0},     {L"D", L"d: [DADOS]", 1}, {L"d: [outro]", L"d: [DADOS]", 1},
        {L"e:\\x", L"e:", 2}, {L"C:", L"c:", 3},
    };
    for (const Step& step : steps) {
        drive.SetDrive(step.text);
        EXPECT_EQ(drive.Drive(), step.shown) << step.text;
        EXPECT_EQ(disk.log.events.size(), static_cast<std::size_t>(step.changes)) << step.text;
    }
    EXPECT_EQ(disk.log.events.back(), L"Drive_Change");
}

TEST(DriveListModel, ALetterWithoutADriveIs68AndMovesNothing) {
    Disk disk;
    DriveList drive(L"Drive", {}, 0, disk.queries);
    drive.AttachSink(&disk.log);
    for (const wchar_t* text : {L"x", L"", L"1:"}) {
        EXPECT_EQ(ErrorOf([&] { drive.SetDrive(text); }), err::DeviceUnavailable) << text;
    }
    EXPECT_EQ(drive.Drive(), L"c:");
    EXPECT_TRUE(disk.log.events.empty());
}

TEST(DriveListModel, ADriveThatCameLaterIsFoundOnWriting) {
    Disk disk;
    DriveList drive(L"Drive", {}, 0, disk.queries);
    disk.queries.AddDrive(L'F', L"\\\\srv\\dados");
    drive.SetDrive(L"f");
    EXPECT_EQ(drive.Drive(), L"f: [\\\\srv\\dados]");
}

TEST(DriveListModel, UserSelectRaisesChangeOnlyForAnotherDrive) {
    Disk disk;
    DriveList drive(L"Drive", {}, 0, disk.queries);
    drive.AttachSink(&disk.log);
    drive.UserSelect(0);
    drive.UserSelect(1);
    drive.UserSelect(9);
    EXPECT_EQ(disk.log.events, std::vector<std::wstring>{L"Drive_Change"});
    EXPECT_EQ(drive.ListIndex(), 1u);
}

// The kind of each entry, for its icon, follows the entry's drive: set by the system per drive,
// read again with the drives, nothing past the end.
TEST(DriveListModel, EachEntryHasItsDrivesKind) {
    Disk disk;
    disk.queries.AddDrive(L'F', L"\\\\srv\\dados");
    disk.queries.SetKind(L'E', DriveKind::CdRom);
    disk.queries.SetKind(L'F', DriveKind::Network);
    disk.queries.SetKind(L'G', DriveKind::Removable);
    DriveList drive(L"Drive", {}, 0, disk.queries);
    struct Row {
        std::size_t index;
        DriveKind kind;
    };
    const Row rows[] = {{0, DriveKind::Fixed},   {1, DriveKind::Fixed},     {2, DriveKind::CdRom},
                        {3, DriveKind::Network}, {4, DriveKind::Removable}, {5, DriveKind::Unknown},
                        {99, DriveKind::Unknown}};
    for (const Row& row : rows) EXPECT_EQ(drive.ListKind(row.index), row.kind) << row.index;

    // Read again: a RAM disk where the network drive was, and a drive of no known kind before all.
    disk.queries.SetKind(L'F', DriveKind::RamDisk);
    disk.queries.AddDrive(L'B');
    disk.queries.SetKind(L'B', DriveKind::Unknown);
    drive.Refresh();
    EXPECT_EQ(drive.List(0), L"b:");
    EXPECT_EQ(drive.ListKind(0), DriveKind::Unknown);
    EXPECT_EQ(drive.ListKind(4), DriveKind::RamDisk);
    EXPECT_EQ(drive.ListKind(1), DriveKind::Fixed);
}

// ---- Folder list

TEST(FolderListModel, ShowsThePathDownToTheFolderAndItsSubfoldersSorted) {
    Disk disk;
    FolderList dir(L"Dir", {}, 1, disk.queries);
    dir.SetPath(L"c:\\");
    ASSERT_EQ(dir.Items().size(), 4u);
    EXPECT_EQ(dir.Items()[0].name, L"c:\\");
    EXPECT_EQ(dir.Items()[1].name, L"Arquivos");
    EXPECT_EQ(dir.Items()[2].name, L"Sub");
    EXPECT_EQ(dir.Items()[3].name, L"sub2");
    EXPECT_EQ(dir.CurrentIndex(), 0u);

    dir.SetPath(L"c:\\sub\\deep\\");
    EXPECT_EQ(dir.Path(), L"c:\\sub\\deep");
    ASSERT_EQ(dir.Items().size(), 3u);
    EXPECT_EQ(dir.CurrentIndex(), 2u);
    EXPECT_EQ(dir.Items()[1].level, 1u);
    EXPECT_TRUE(dir.Items()[2].open);
    EXPECT_EQ(dir.ItemPath(0), L"c:\\");
    EXPECT_EQ(dir.ItemPath(1), L"c:\\sub");
    EXPECT_EQ(dir.ItemPath(2), L"c:\\sub\\deep");
}

TEST(FolderListModel, EveryWriteRaisesChangeAndOpeningAnEntryWritesItsPath) {
    Disk disk;
    FolderList dir(L"Dir", {}, 1, disk.queries);
    dir.AttachSink(&disk.log);
    dir.SetPath(L"c:\\");
    dir.SetPath(L"c:\\");
    dir.UserOpen(2);  // "Sub"
    EXPECT_EQ(dir.Path(), L"c:\\Sub");
    dir.SetPath(L"Deep");
    EXPECT_EQ(dir.Path(), L"c:\\Sub\\Deep");
    dir.SetPath(L"..");
    EXPECT_EQ(dir.Path(), L"c:\\Sub");
    dir.UserOpen(0);
    EXPECT_EQ(dir.Path(), L"c:\\");
    EXPECT_EQ(disk.log.events.size(), 6u);
    dir.UserSelect(1);
    EXPECT_EQ(disk.log.events.back(), L"Dir_Click");
    EXPECT_EQ(dir.Path(), L"c:\\");
}

TEST(FolderListModel, AFolderThatCannotBeShownFailsAndChangesNothing) {
    struct Case {
        const wchar_t* text;
        std::int32_t number;
    };
    const Case cases[] = {
        {L"e:\\", err::DiskNotReady},     {L"g:\\", err::DeviceUnavailable}, {L"q:\\", err::DeviceUnavailable},
        {L"c:\\nada", err::PathNotFound}, {L"c:\\a.ocx", err::PathNotFound}, {L"", err::PathNotFound},
    };
    Disk disk;
    FolderList dir(L"Dir", {}, 1, disk.queries);
    dir.SetPath(L"c:\\Sub");
    dir.AttachSink(&disk.log);
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorOf([&] { dir.SetPath(c.text); }), c.number) << c.text;
        EXPECT_EQ(dir.Path(), L"c:\\Sub");
        EXPECT_EQ(dir.Items().size(), 3u);
    }
    EXPECT_TRUE(disk.log.events.empty());
}

// ---- File list

TEST(FileListModel, ListsMatchingVisibleFilesSortedWithoutRegardToCase) {
    Disk disk;
    FileList file(L"File", {}, 2, disk.queries);
    EXPECT_EQ(file.ListCount(), 0u);
    EXPECT_EQ(file.Pattern(), L"*.*");
    file.SetPath(L"C:");
    EXPECT_EQ(file.Path(), L"C:\\");
    EXPECT_EQ(Names(file), (std::vector<std::wstring>{L"a.ocx", L"b.DLL", L"prog.exe", L"readme.txt", L"Zeta.ocx"}));
    file.SetPattern(L"*.ocx;*.dll");
    EXPECT_EQ(Names(file), (std::vector<std::wstring>{L"a.ocx", L"b.DLL", L"Zeta.ocx"}));
    file.SetPath(L"c:\\sub\\");
    EXPECT_EQ(file.Path(), L"c:\\sub");
    EXPECT_EQ(Names(file), std::vector<std::wstring>{L"x.ocx"});
}

TEST(FileListModel, WritingFileName) {
    struct Case {
        const wchar_t* text;
        std::int32_t error;       // 0: taken
        const wchar_t* path;      // afterwards
        const wchar_t* pattern;   // afterwards
        const wchar_t* fileName;  // afterwards
    };
    const Case cases[] = {
        // A listed name, in any case, selects it.
        {L"zeta.OCX", 0, L"c:\\", L"*.ocx;*.dll", L"Zeta.ocx"},
        // A folder moves the list and clears the selection.
        {L"c:\\Sub", 0, L"c:\\Sub", L"*.ocx;*.dll", L""},
        {L"Sub", 0, L"c:\\Sub", L"*.ocx;*.dll", L""},
        {L"c:\\", 0, L"c:\\", L"*.ocx;*.dll", L""},
        // A pattern sets the pattern, after moving when it begins with a folder.
        {L"*.exe", 0, L"c:\\", L"*.exe", L""},
        {L"c:\\Sub\\Deep\\*.dll", 0, L"c:\\Sub\\Deep", L"*.dll", L""},
        // A file the list would show in another folder: moves there and selects it.
        {L"c:\\Sub\\X.ocx", 0, L"c:\\Sub", L"*.ocx;*.dll", L"x.ocx"},
        // Everything else is refused and changes nothing.
        {L"nada.ocx", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"readme.txt", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"oculto.ocx", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"sistema.dll", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"c:\\nada\\a.ocx", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"c:\\Sub\\nada.ocx", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"c:\\n*da\\a.ocx", err::FileNotFound, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"e:\\", err::DiskNotReady, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
        {L"e:\\*.ocx", err::DiskNotReady, L"c:\\", L"*.ocx;*.dll", L"a.ocx"},
    };
    for (const Case& c : cases) {
        Disk disk;
        FileList file(L"File", {}, 2, disk.queries);
        file.SetFileName(L"c:\\");
        file.SetPattern(L"*.ocx;*.dll");
        file.SetFileName(L"a.ocx");
        EXPECT_EQ(ErrorOf([&] { file.SetFileName(c.text); }), c.error) << c.text;
        EXPECT_EQ(file.Path(), c.path) << c.text;
        EXPECT_EQ(file.Pattern(), c.pattern) << c.text;
        EXPECT_EQ(file.FileName(), c.fileName) << c.text;
    }
}

// A folder that hands over exactly these names, in this order, for any pattern: names equal but
// for case included, as a folder that tells case apart holds them.
struct GivenNames : FileQueries {
    std::vector<std::wstring> names;
    std::vector<DriveEntry> ListDrives() override { return {}; }
    wchar_t CurrentDrive() override { return L'C'; }
    void CheckFolder(const std::wstring&) override {}
    std::vector<std::wstring> ListFolders(const std::wstring&) override { return {}; }
    bool TellsCaseApart(const std::wstring&) override { return false; }
    void ListFiles(const std::wstring&, std::span<const std::wstring>,
                   const std::function<void(std::wstring_view)>& visit) override {
        for (const std::wstring& name : names) visit(name);
    }
};

TEST(FileListModel, OrdersNamesByTheirCapitalsThenByTheirOwnSpelling) {
    struct Case {
        const char* what;
        std::vector<std::wstring> given;
        std::vector<std::wstring> shown;
    };
    const Case cases[] = {
        {"case does not order", {L"b.ocx", L"A.ocx", L"c.ocx"}, {L"A.ocx", L"b.ocx", L"c.ocx"}},
        // Compared as capitals, letters come before the underscore, which lies between the two cases.
        {"letters before the underscore", {L"_z.ocx", L"a.ocx", L"Z.ocx"}, {L"a.ocx", L"Z.ocx", L"_z.ocx"}},
        {"a name before its longer self", {L"ab.ocx", L"a.ocx", L"a.ocxx"}, {L"a.ocx", L"a.ocxx", L"ab.ocx"}},
        {"equal but for case: capitals first", {L"a.ocx", L"A.OCX", L"A.ocx"}, {L"A.OCX", L"A.ocx", L"a.ocx"}},
        // Latin-1 letters fold with their capitals; the division sign and y-diaeresis stand alone.
        {"Latin-1",
         {L"\u00e9.ocx", L"f.ocx", L"\u00c9a.ocx", L"\u00ff.ocx", L"\u00f7.ocx", L"\u00de.ocx"},
         {L"f.ocx", L"\u00e9.ocx", L"\u00c9a.ocx", L"\u00de.ocx", L"\u00f7.ocx", L"\u00ff.ocx"}},
        {"one name", {L"s\u00f3.ocx"}, {L"s\u00f3.ocx"}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        GivenNames folder;
        folder.names = c.given;
        FileList file(L"File", {}, 2, folder);
        file.SetPath(L"c:\\");
        EXPECT_EQ(Names(file), c.shown) << c.what;
        std::vector<std::wstring> byCompare = c.given;
        std::sort(byCompare.begin(), byCompare.end(),
                  [](const std::wstring& a, const std::wstring& b) { return std::is_lt(CompareNoCase(a, b)); });
        EXPECT_EQ(Names(file), byCompare) << c.what << ": the order of CompareNoCase";
    }
}

TEST(FileListModel, AFolderChangeWithItsPatternReadsTheFolderOnce) {
    Disk disk;
    FileList file(L"File", {}, 2, disk.queries);
    file.SetFileName(L"c:\\");
    file.SetPattern(L"*.ocx;*.dll");
    EXPECT_EQ(disk.queries.listFilesCalls, 0);
    EXPECT_EQ(file.ListCount(), 3u);
    EXPECT_EQ(file.ListCount(), 3u);
    EXPECT_EQ(disk.queries.listFilesCalls, 1);
}

TEST(FileListModel, AFolderGoneBeforeItIsReadShowsNoNames) {
    Disk disk;
    FileList file(L"File", {}, 2, disk.queries);
    file.SetPath(L"c:\\Sub");
    disk.fs.Remove(L"c:\\Sub");
    EXPECT_EQ(file.ListCount(), 0u);
    EXPECT_EQ(file.Path(), L"c:\\Sub");
}

TEST(FileListModel, UserClickSelectsAndRaisesClickDoubleClickRaisesDblClick) {
    Disk disk;
    FileList file(L"File", {}, 2, disk.queries);
    file.AttachSink(&disk.log);
    file.SetPath(L"c:\\");
    file.UserClick(1);
    EXPECT_EQ(file.FileName(), L"b.DLL");
    file.UserDblClick();
    file.UserClick(99);
    EXPECT_EQ(disk.log.events, (std::vector<std::wstring>{L"File_Click", L"File_DblClick"}));
    EXPECT_EQ(file.FileName(), L"b.DLL");
    file.SetPattern(L"*.ocx");
    EXPECT_EQ(file.FileName(), L"");
}

}  // namespace
}  // namespace tervalux::rt
