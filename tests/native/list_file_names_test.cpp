// Wildcards as the platform matches them, the order of names, and how folder texts resolve.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/text.h"
#include "platform/wildcards.h"

namespace tervalux::rt {
namespace {

struct MatchCase {
    const wchar_t* patterns;
    const wchar_t* name;
    bool matches;
};

const MatchCase kMatchCases[] = {
    // Component patterns, in any case.
    {L"*.ocx;*.dll", L"a.ocx", true},
    {L"*.ocx;*.dll", L"a.OCX", true},
    {L"*.ocx;*.dll", L"Comp.Dll", true},
    {L"*.OCX", L"a.ocx", true},
    {L"*.ocx;*.dll", L"a.ocx.bak", false},
    {L"*.ocx;*.dll", L"a.ocxx", false},
    {L"*.ocx;*.dll", L"ocx", false},
    {L"*.ocx;*.dll", L"a.txt", false},
    {L"*.ocx;*.dll", L".dll", true},
    {L" *.ocx ; *.dll ", L"a.dll", true},
    {L"*.ocx;;*.dll", L"a.dll", true},
    // Every name.
    {L"*.*", L"README", true},
    {L"*.*", L"a.b.c", true},
    {L"*", L"anything.at.all", true},
    {L"", L"x", true},
    // Question marks: one character, or none at the end or before a dot.
    {L"?.txt", L"a.txt", true},
    {L"?.txt", L"ab.txt", false},
    {L"a?", L"a", true},
    {L"a?", L"ab", true},
    {L"a?", L"abc", false},
    {L"a?", L"a.b", false},
    {L"a?c", L"abc", true},
    {L"a?c", L"ac", false},
    {L"??.dll", L"x.dll", true},
    // Stars in the middle and backtracking.
    {L"*a*", L"bab", true},
    {L"*a*", L"bbb", false},
    {L"a*b*c", L"a--b--b--c", true},
    {L"a*b*c", L"a--c--b", false},
    {L"*.dll", L"x.dll.dll", true},
    {L"name.*", L"name", true},
    {L"name.*", L"name.txt", true},
    {L"name.*", L"names", false},
    {L"reg*.exe", L"REGSVR32.EXE", true},
    // Latin letters fold too.
    {L"*\u00e7\u00e3o.ocx", L"A\u00c7\u00c3O.OCX", true},
};

TEST(Wildcard, MatchesAsThePlatformDoes) {
    for (const MatchCase& c : kMatchCases) {
        EXPECT_EQ(PatternSet(c.patterns).Matches(c.name), c.matches)
            << "pattern " << testing::PrintToString(std::wstring(c.patterns)) << " name "
            << testing::PrintToString(std::wstring(c.name));
    }
}

TEST(Wildcard, SinglePatternAgreesWithTheSet) {
    for (const MatchCase& c : kMatchCases) {
        const std::wstring_view patterns = c.patterns;
        if (patterns.find(L';') != std::wstring_view::npos || patterns.find(L' ') != std::wstring_view::npos ||
            patterns.empty()) {
            continue;
        }
        EXPECT_EQ(MatchesWildcard(c.patterns, c.name), c.matches) << testing::PrintToString(std::wstring(c.patterns));
    }
}

TEST(NameOrder, IgnoresCaseAndStaysTotal) {
    EXPECT_TRUE(CompareNoCase(L"apple", L"Banana") < 0);
    EXPECT_TRUE(CompareNoCase(L"B", L"c") < 0);
    EXPECT_TRUE(CompareNoCase(L"ab", L"ABC") < 0);
    EXPECT_TRUE(CompareNoCase(L"ABC", L"abc") != 0);  // equal but for case: still ordered
    EXPECT_TRUE(CompareNoCase(L"abc", L"abc") == 0);
    EXPECT_TRUE(CompareNoCase(L"\u00e1gua", L"\u00c9") < 0);
}

struct ResolveCase {
    const wchar_t* base;
    const wchar_t* text;
    const wchar_t* folder;
};

const ResolveCase kResolveCases[] = {
    {L"", L"c:\\", L"c:\\"},
    {L"", L"C:", L"C:\\"},
    {L"", L"c:\\Windows\\", L"c:\\Windows"},
    {L"", L"c:/a//b/", L"c:\\a\\b"},
    {L"", L"c:\\a\\..\\..\\b\\.", L"c:\\b"},
    {L"c:\\a", L"b", L"c:\\a\\b"},
    {L"c:\\a\\b", L"..", L"c:\\a"},
    {L"c:\\a\\b", L"\\x", L"c:\\x"},
    {L"c:\\a", L"c:b", L"c:\\a\\b"},
    {L"d:\\a", L"c:b", L"c:\\b"},
    {L"", L"\\\\srv\\share\\dir", L"\\\\srv\\share\\dir"},
    {L"\\\\srv\\share\\dir", L"..", L"\\\\srv\\share\\"},
    {L"", L"relative", L""},
    {L"c:\\", L"", L""},
    {L"", L"\\\\srv", L""},
};

TEST(ResolveFolder, SpellsEveryFolderOneWay) {
    for (const ResolveCase& c : kResolveCases) {
        EXPECT_EQ(ResolveFolder(c.base, c.text), c.folder)
            << testing::PrintToString(std::wstring(c.base)) << " + " << testing::PrintToString(std::wstring(c.text));
    }
}

// The root that the Win32 file queries ask about when a folder cannot be read.
TEST(ResolveFolder, TheRootOfAFullPath) {
    struct Case {
        const wchar_t* path;
        const wchar_t* root;
    };
    for (const Case& c :
         {Case{L"c:\\a\\b", L"c:\\"}, Case{L"D:", L"D:\\"}, Case{L"\\\\srv\\share", L"\\\\srv\\share\\"},
          Case{L"\\\\srv\\share\\dir", L"\\\\srv\\share\\"}, Case{L"\\\\srv", L""}, Case{L"\\\\srv\\\\dir", L""},
          Case{L"1:\\a", L""}, Case{L"\\a", L""}, Case{L"a\\b", L""}}) {
        EXPECT_EQ(RootOf(c.path), c.root) << testing::PrintToString(std::wstring(c.path));
    }
}

TEST(OrdinaryPath, DropsTheExtendedPrefixWhereAnOrdinaryPathFits) {
    const std::wstring longest = L"c:\\" + std::wstring(256, L'a');  // 259 characters and the NUL
    struct Case {
        std::wstring path;
        std::wstring ordinary;
    };
    const Case cases[] = {
        {L"\\\\?\\C:\\x\\regsvr32.exe", L"C:\\x\\regsvr32.exe"},
        {L"\\\\?\\UNC\\server\\share\\regsvr32.exe", L"\\\\server\\share\\regsvr32.exe"},
        {L"c:\\x", L"c:\\x"},
        {L"\\\\?\\Volume{0b1f}\\x", L""},  // no drive letter
        {L"\\\\?\\C:", L""},
        {L"\\\\?\\" + longest, longest},
        {L"\\\\?\\" + longest + L"b", L""},
        {longest + L"b", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(OrdinaryPath(c.path), c.ordinary) << testing::PrintToString(c.path);
}

TEST(ResolveFolder, RootsAndSteps) {
    EXPECT_TRUE(IsRoot(L"c:\\"));
    EXPECT_FALSE(IsRoot(L"c:\\a"));
    EXPECT_TRUE(IsRoot(L"\\\\srv\\share\\"));
    EXPECT_EQ(JoinPath(L"c:\\", L"a.ocx"), L"c:\\a.ocx");
    EXPECT_EQ(JoinPath(L"c:\\x", L"a.ocx"), L"c:\\x\\a.ocx");
    EXPECT_EQ(PathSteps(L"c:\\a\\b"), (std::vector<std::wstring>{L"c:\\", L"a", L"b"}));
    EXPECT_EQ(PathSteps(L"c:\\"), (std::vector<std::wstring>{L"c:\\"}));
}

}  // namespace
}  // namespace tervalux::rt
