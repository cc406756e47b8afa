// The file list read through the file system's own filter: which patterns the system is handed,
// and that the names shown are those of a reading of every name, short-name traps and all.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/wildcards.h"
#include "runtime/file_list.h"
#include "tests/fakes/memory_file_queries.h"

namespace tervalux::rt {
namespace {

using Names = std::vector<std::wstring>;

std::string Printed(const std::wstring& text) {
    return testing::PrintToString(text);
}

TEST(SystemPattern, TakesOnlyWhatTheSystemReadsAsWeDo) {
    struct Case {
        const wchar_t* pattern;
        std::size_t folderLength;
        const wchar_t* system;  // nullptr: the system cannot take it
    };
    const Case cases[] = {
        {L"*.ocx", 10, L"*.ocx"},
        {L"*.OCX", 10, L"*.OCX"},
        {L"a*b*.dll", 10, L"a*b*.dll"},
        {L".*", 10, L".*"},
        {L"semi;colon.ocx", 10, L"semi;colon.ocx*"},
        // A bare name is a lookup of one name for the system; a star makes it a search.
        {L"readme.txt", 10, L"readme.txt*"},
        {L"", 10, nullptr},
        // Text after the last star that overlaps itself is missed by some systems where found again.
        {L"*.x.x", 10, nullptr},
        {L"*aa", 10, nullptr},
        {L"a*.OCX.ocx", 10, nullptr},
        {L"*.ocx*.x.xy", 10, L"*.ocx*.x.xy"},
        {L"*.x.x*", 10, L"*.x.x*"},
        // The system's question mark is not ours.
        {L"a?.dll", 10, nullptr},
        {L"?", 10, nullptr},
        // Final dots and blanks are stripped by the system, leading blanks kept only at times.
        {L"*.ocx.", 10, nullptr},
        {L"*.", 10, nullptr},
        {L"*.ocx ", 10, nullptr},
        {L" *.ocx", 10, nullptr},
        // The system's own wildcards, refused characters, separators, streams, control characters.
        {L"*.oc<", 10, nullptr},
        {L"*.oc>", 10, nullptr},
        {L"*.oc\"", 10, nullptr},
        {L"a|b*", 10, nullptr},
        {L"a/b*", 10, nullptr},
        {L"a\\b*", 10, nullptr},
        {L"c:*", 10, nullptr},
        {L"*.ocx:stream", 10, nullptr},
        {L"*\t.ocx", 10, nullptr},
        {L"*\x7f", 10, nullptr},
        // Beyond ASCII the system folds case its own way.
        {L"*\u00e7\u00e3o.ocx", 10, nullptr},
        {L"*\u0131.dll", 10, nullptr},
        // Folder, separator and pattern must fit a path the system takes.
        {L"*.ocx", 253, L"*.ocx"},
        {L"*.ocx", 254, nullptr},
        {L"abcdefgh", 249, L"abcdefgh*"},
        {L"abcdefghi", 249, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::wstring> system = SystemPattern(c.pattern, c.folderLength);
        if (c.system == nullptr) {
            EXPECT_FALSE(system.has_value()) << Printed(c.pattern) << " gave " << Printed(system.value_or(L""));
        } else {
            EXPECT_EQ(system.value_or(L"(none)"), c.system) << Printed(c.pattern) << " folder " << c.folderLength;
        }
    }
}

TEST(SystemPattern, OneReadingPerPatternOrOneReadingOfEveryName) {
    struct Case {
        const wchar_t* patterns;
        std::size_t folderLength;
        Names system;  // empty: one reading of every name
    };
    const Case cases[] = {
        {L"*.ocx;*.dll", 10, {L"*.OCX", L"*.DLL"}},
        {L" *.ocx ; *.dll ", 10, {L"*.OCX", L"*.DLL"}},
        {L"*.ocx;;*.dll", 10, {L"*.OCX", L"*.DLL"}},
        {L"*.ocx;*.OCX", 10, {L"*.OCX"}},
        {L"*.ocx;*.dll;*.exe", 10, {L"*.OCX", L"*.DLL", L"*.EXE"}},
        {L"readme.txt", 10, {L"README.TXT*"}},
        // Past three readings one reading of every name is cheaper.
        {L"*.ocx;*.dll;*.exe;*.sys", 10, {}},
        {L"*.ocx;*.dll;*.exe;*.OCX", 10, {L"*.OCX", L"*.DLL", L"*.EXE"}},
        // A pattern that takes every name.
        {L"*.*", 10, {}},
        {L"*", 10, {}},
        {L"**.**", 10, {}},
        {L"*.ocx;*", 10, {}},
        {L"", 10, {}},
        {L";", 10, {}},
        // One pattern the system cannot take makes the whole reading a full one.
        {L"*.ocx;a?.dll", 10, {}},
        {L"*.ocx;*.", 10, {}},
        {L"*.ocx;*.\u00e7", 10, {}},
        {L"*.ocx", 254, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PatternSet(c.patterns).SystemPatterns(c.folderLength), c.system) << Printed(c.patterns);
    }
}

// A folder whose short names lead the system's filter astray: the system finds these files for
// patterns whose long names do not match.
struct TrapFolder {
    fake::MemoryFileSystem fs;
    fake::MemoryFileQueries queries{fs};

    static constexpr const wchar_t* kFolder = L"C:\\Traps";

    TrapFolder() {
        const wchar_t* const plain[] = {
            L"a.ocx",
            L"B.DLL",
            L"Comp.Ocx",
            L"long.name.with.dots.ocx",
            L"ocx",
            L".dll",
            L"a.ocx.ocx",
            L"setup.exe",
            L"mixed Case.Dll",
            L"c.x.x.x",
            L"readme.txt",
            L"semi;colon.ocx",
            L"aaa",
            L"x.dll.dll",
            L"a\u00e7\u00e3o.ocx",
        };
        for (const wchar_t* name : plain) fs.AddFile(Path(name));
        struct Trap {
            const wchar_t* name;
            const wchar_t* shortName;
        };
        for (const Trap& trap :
             {Trap{L"abc.ocxx", L"ABC~1.OCX"}, Trap{L"x.dll.bak", L"X~1.DLL"}, Trap{L"readme.txt.old", L"README~1.TXT"},
              Trap{L"notes.docx", L"NOTES~1.DOC"}, Trap{L"long.name.with.dots.ocx", L"LONGNA~1.OCX"}}) {
            if (!fs.IsFile(Path(trap.name))) fs.AddFile(Path(trap.name));
            queries.SetShortName(Path(trap.name), trap.shortName);
        }
        fs.AddFile(Path(L"oculto.ocx"), "", fake::kArchive | fake::kHidden);
        fs.AddFile(Path(L"sistema.dll"), "", fake::kSystem);
        queries.SetShortName(Path(L"oculto.ocx"), L"OCULTO.OCX");
        fs.AddFolder(Path(L"x.ocx"));
    }

    static std::wstring Path(const std::wstring& name) { return std::wstring(kFolder) + L"\\" + name; }

    // Today's way: every visible name of the folder put to the pattern, sorted.
    Names FullReading(const std::wstring& patterns) const {
        const PatternSet set(patterns);
        Names names;
        for (const std::wstring& name : fs.Files(kFolder)) {
            if (fs.Attributes(Path(name)).value_or(0) & (fake::kHidden | fake::kSystem)) continue;
            if (set.Matches(name)) names.push_back(name);
        }
        std::sort(names.begin(), names.end(),
                  [](const std::wstring& a, const std::wstring& b) { return std::is_lt(CompareNoCase(a, b)); });
        return names;
    }
};

Names Shown(FileList& list) {
    Names names;
    for (std::size_t i = 0; i < list.ListCount(); ++i) names.emplace_back(list.List(i));
    return names;
}

TEST(FileListFilter, ShowsWhatAReadingOfEveryNameShows) {
    struct Case {
        const wchar_t* patterns;
        Names asked;  // what the system is handed in the one reading
        bool tellsCaseApart = false;
    };
    const Case cases[] = {
        {L"*.ocx;*.dll", {L"*.OCX", L"*.DLL"}},
        {L"*.ocx", {L"*.OCX"}},
        {L"*.dll", {L"*.DLL"}},
        {L"*.txt", {L"*.TXT"}},
        {L"*.doc", {L"*.DOC"}},
        {L"*.ocx;a*", {L"*.OCX", L"A*"}},
        {L"*.ocx;*.ocx.ocx", {L"*"}},
        {L"readme.txt", {L"README.TXT*"}},
        {L"setup.*", {L"SETUP.*"}},
        {L"*.x.x", {L"*"}},
        {L"*.x.x*", {L"*.X.X*"}},
        {L"*o*", {L"*O*"}},
        {L".*", {L".*"}},
        {L"*.*", {L"*"}},
        {L"*", {L"*"}},
        {L"", {L"*"}},
        {L"?.dll", {L"*"}},
        {L"*.ocx.", {L"*"}},
        {L"*.ocx;*.dll;*.txt;*.exe", {L"*"}},
        // A folder that tells case apart: its filter would take "*.OCX" for "a.OCX" and not "a.ocx".
        {L"*.ocx;*.dll", {L"*"}, true},
        {L"readme.txt", {L"*"}, true},
        {L"*.*", {L"*"}, true},
    };
    for (const Case& c : cases) {
        TrapFolder folder;
        if (c.tellsCaseApart) folder.queries.SetTellsCaseApart(TrapFolder::kFolder);
        FileList file(L"File", {}, 2, folder.queries);
        file.SetPath(TrapFolder::kFolder);
        file.SetPattern(c.patterns);
        EXPECT_EQ(Shown(file), folder.FullReading(c.patterns)) << Printed(c.patterns);
        EXPECT_EQ(folder.queries.patternsAsked, c.asked) << Printed(c.patterns);
        EXPECT_EQ(folder.queries.listFilesCalls, 1) << Printed(c.patterns);
    }
}

TEST(FileListFilter, TheTrapsReachTheListAndAreLeftOutThere) {
    TrapFolder folder;
    Names found;
    const std::wstring patterns[] = {L"*.OCX"};
    folder.queries.ListFiles(TrapFolder::kFolder, patterns, [&](std::wstring_view name) { found.emplace_back(name); });
    EXPECT_NE(std::find(found.begin(), found.end(), L"abc.ocxx"), found.end());

    FileList file(L"File", {}, 2, folder.queries);
    file.SetPath(TrapFolder::kFolder);
    file.SetPattern(L"*.ocx");
    const Names shown = Shown(file);
    EXPECT_EQ(std::find(shown.begin(), shown.end(), L"abc.ocxx"), shown.end());
}

TEST(FileListFilter, LookingUpANameInAnotherFolder) {
    struct Case {
        const wchar_t* text;
        std::int32_t error;
        const wchar_t* fileName;  // afterwards
        Names asked;
        bool tellsCaseApart = false;
    };
    const Case cases[] = {
        {L"C:\\Traps\\A.OCX", 0, L"a.ocx", {L"A.OCX*", L"*.OCX", L"*.DLL"}},
        {L"C:\\Traps\\semi;colon.ocx", 0, L"semi;colon.ocx", {L"semi;colon.ocx*", L"*.OCX", L"*.DLL"}},
        // Found by the system by its short name only: not a file the list shows.
        {L"C:\\Traps\\ABC~1.OCX", err::FileNotFound, L"", {L"ABC~1.OCX*"}},
        {L"C:\\Traps\\oculto.ocx", err::FileNotFound, L"", {L"oculto.ocx*"}},
        // A name the system cannot be asked for is looked for among every name.
        {L"C:\\Traps\\A\u00c7\u00c3O.OCX", 0, L"a\u00e7\u00e3o.ocx", {L"*", L"*.OCX", L"*.DLL"}},
        // So is a name in a folder that tells case apart, and the folder then read is read whole.
        {L"C:\\Traps\\A.OCX", 0, L"a.ocx", {L"*", L"*"}, true},
    };
    for (const Case& c : cases) {
        TrapFolder folder;
        if (c.tellsCaseApart) folder.queries.SetTellsCaseApart(TrapFolder::kFolder);
        FileList file(L"File", {}, 2, folder.queries);
        file.SetPattern(L"*.ocx;*.dll");
        int error = 0;
        try {
            file.SetFileName(c.text);
            file.ListCount();
        } catch (const RuntimeError& e) {
            error = e.Number();
        }
        EXPECT_EQ(error, c.error) << Printed(c.text);
        EXPECT_EQ(file.FileName(), c.fileName) << Printed(c.text);
        EXPECT_EQ(folder.queries.patternsAsked, c.asked) << Printed(c.text);
    }
}

// Hands over, for each pattern asked, the names a test gives it: as a folder that holds names equal
// but for case while its filter ignores case (a host's folder under Wine), and a system that finds
// one file for several patterns.
class ScriptedQueries : public FileQueries {
   public:
    std::map<std::wstring, Names> found;  // pattern -> names the system returns for it

    std::vector<DriveEntry> ListDrives() override { return {}; }
    wchar_t CurrentDrive() override { return L'C'; }
    void CheckFolder(const std::wstring&) override {}
    std::vector<std::wstring> ListFolders(const std::wstring&) override { return {}; }
    bool TellsCaseApart(const std::wstring&) override { return false; }
    void ListFiles(const std::wstring&, std::span<const std::wstring> patterns,
                   const std::function<void(std::wstring_view)>& visit) override {
        for (const std::wstring& pattern : patterns) {
            for (const std::wstring& name : found[pattern]) visit(name);
        }
    }
};

TEST(FileListFilter, ANameFoundTwiceIsShownOnceNamesEqualButForCaseBoth) {
    ScriptedQueries queries;
    queries.found[L"*.OCX"] = {L"a.ocx", L"A.ocx", L"zz.ocx", L"abc.ocxx"};
    queries.found[L"A*"] = {L"abc", L"A.ocx", L"a.txt", L"a.ocx"};
    FileList file(L"File", {}, 2, queries);
    file.SetPath(L"C:\\x");
    file.SetPattern(L"*.ocx;a*");
    EXPECT_EQ(Shown(file), (Names{L"A.ocx", L"a.ocx", L"a.txt", L"abc", L"abc.ocxx", L"zz.ocx"}));
    file.SetFileName(L"a.ocx");
    EXPECT_EQ(file.FileName(), L"a.ocx");
    file.SetFileName(L"A.OCX");
    EXPECT_EQ(file.FileName(), L"A.ocx");
}

}  // namespace
}  // namespace tervalux::rt
