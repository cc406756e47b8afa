// The file list on the real file system: read through the system's own filter, it shows what a
// reading of every name shows, though the system also finds files by their short names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/wildcards.h"
#include "platform/win32/win32_file_queries.h"
#include "runtime/file_list.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;
using Names = std::vector<std::wstring>;

void SortNames(Names& names) {
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return std::is_lt(CompareNoCase(a, b)); });
}

// Every entry the system finds for `pattern` in a folder, folders and hidden files included.
Names Found(const std::wstring& folder, const std::wstring& pattern, DWORD leftOut = 0) {
    Names names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\" + pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || (data.dwFileAttributes & leftOut)) continue;
        names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// A folder of components and of names that only their short names bring near a pattern.
struct TrapFolder {
    ScratchFolder scratch;

    TrapFolder() {
        for (const wchar_t* name : {L"a.ocx",
                                    L"B.DLL",
                                    L"Comp.Ocx",
                                    L"abc.ocxx",
                                    L"x.dll.bak",
                                    L"long.name.with.dots.ocx",
                                    L"mixed Case.Dll",
                                    L"ocx",
                                    L".dll",
                                    L"a.ocx.ocx",
                                    L"x.dll.dll",
                                    L"c.x.x.x",
                                    L"readme.txt",
                                    L"readme.txt.old",
                                    L"notes.docx",
                                    L"setup.exe",
                                    L"aaa",
                                    L"semi;colon.ocx",
                                    L"a\u00e7\u00e3o.ocx",
                                    L"oculto.ocx",
                                    L"sistema.dll",
                                    L"componente de nome bem comprido.ocx"}) {
            WriteBytes(scratch / name, "");
        }
        SetFileAttributesW((scratch / L"oculto.ocx").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW((scratch / L"sistema.dll").c_str(), FILE_ATTRIBUTE_SYSTEM);
        MakeFolder(scratch / L"x.ocx");
    }

    // Today's way: every name of the folder, put to the pattern.
    Names FullReading(const std::wstring& patterns) const {
        const PatternSet set(patterns);
        Names names;
        for (std::wstring& name :
             Found(scratch.Path(), L"*", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            if (set.Matches(name)) names.push_back(std::move(name));
        }
        SortNames(names);
        return names;
    }
};

Names Shown(rt::FileList& list) {
    Names names;
    for (std::size_t i = 0; i < list.ListCount(); ++i) names.emplace_back(list.List(i));
    return names;
}

TEST(Win32FileList, ShowsWhatAReadingOfEveryNameShows) {
    TrapFolder folder;
    Win32FileQueries queries;
    // Neither an ordinary folder nor a missing one tells case apart: the system's filter reads the patterns.
    EXPECT_FALSE(queries.TellsCaseApart(folder.scratch.Path()));
    EXPECT_FALSE(queries.TellsCaseApart(folder.scratch / L"nenhuma"));
    for (const wchar_t* patterns : {L"*.ocx;*.dll",
                                    L"*.ocx",
                                    L"*.dll",
                                    L"*.txt",
                                    L"*.doc",
                                    L"*.ocx;a*",
                                    L"*.ocx;*.ocx.ocx",
                                    L"readme.txt",
                                    L"README.TXT",
                                    L"setup.*",
                                    L"*.x.x",
                                    L"*.x.x*",
                                    L"*o*",
                                    L".*",
                                    L"*.*",
                                    L"*",
                                    L"",
                                    L"?.dll",
                                    L"*.ocx.",
                                    L"*.ocx;*.dll;*.txt;*.exe",
                                    L"*.OCX;*.Dll"}) {
        rt::FileList file(L"File", {}, 2, queries);
        file.SetPath(folder.scratch.Path());
        file.SetPattern(patterns);
        EXPECT_EQ(Shown(file), folder.FullReading(patterns)) << Utf8(patterns);
    }
}

// Whether the system's filter itself hands over names our patterns refuse: if it does, the list's
// own matcher is what keeps them out.
TEST(Win32FileList, TheSystemsFilterFindsNamesOurPatternsRefuse) {
    TrapFolder folder;
    Names traps;
    for (const wchar_t* pattern : {L"*.ocx", L"*.dll", L"*.txt", L"*.doc"}) {
        const PatternSet set(pattern);
        for (const std::wstring& name : Found(folder.scratch.Path(), pattern, FILE_ATTRIBUTE_DIRECTORY)) {
            if (!set.Matches(name)) traps.push_back(std::wstring(pattern) + L" found " + name);
        }
    }
    std::string report;
    for (const std::wstring& trap : traps) report += Utf8(trap) + "; ";
    std::printf("names the system's filter found that our patterns refuse: %s\n", report.c_str());
    RecordProperty("traps", report);
    // The system matches short names: "abc.ocxx" is found as "*.ocx" by its short name.
    EXPECT_NE(std::find(traps.begin(), traps.end(), L"*.ocx found abc.ocxx"), traps.end()) << report;
}

TEST(Win32FileList, ANameLookedUpByItsShortNameIsNotShown) {
    TrapFolder folder;
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW((folder.scratch / L"abc.ocxx").c_str(), shortPath, MAX_PATH), 0u);
    std::wstring shortName = shortPath;
    shortName = shortName.substr(shortName.find_last_of(L'\\') + 1);
    ASSERT_TRUE(PatternSet(L"*.ocx").Matches(shortName)) << Utf8(shortName);
    EXPECT_EQ(Found(folder.scratch.Path(), shortName), Names{L"abc.ocxx"}) << Utf8(shortName);

    Win32FileQueries queries;
    rt::FileList file(L"File", {}, 2, queries);
    file.SetPattern(L"*.ocx;*.dll");
    EXPECT_EQ(ErrorNumberOf([&] { file.SetFileName(folder.scratch / shortName); }), err::FileNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { file.SetFileName(folder.scratch / L"oculto.ocx"); }), err::FileNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { file.SetFileName(folder.scratch / L"A.OCX"); }), 0);
    EXPECT_EQ(file.FileName(), L"a.ocx");
    EXPECT_EQ(ErrorNumberOf([&] { file.SetFileName(folder.scratch / L"semi;colon.ocx"); }), 0);
    EXPECT_EQ(file.FileName(), L"semi;colon.ocx");
}

}  // namespace
}  // namespace tervalux::win32
