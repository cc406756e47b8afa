#include "platform/text.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/runtime_error.h"

namespace tervalux {
namespace {

TEST(Text, TrimBlanksRemovesOnlyOuterSpaces) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    for (const Case& c : {Case{L"", L""}, Case{L"   ", L""}, Case{L" a b ", L"a b"}, Case{L"\ta\t", L"\ta\t"},
                          Case{L"a.ocx", L"a.ocx"}}) {
        EXPECT_EQ(TrimBlanks(c.in), c.out) << c.in;
    }
}

TEST(Text, UpperCaseAndNoCaseCompare) {
    EXPECT_EQ(UpperCase(L"Windows 2000"), L"WINDOWS 2000");
    EXPECT_EQ(UpperCase(L"a\u00e7\u00e3o"), L"A\u00c7\u00c3O");
    EXPECT_TRUE(EqualNoCase(L"regsvr32.exe", L"REGSVR32.EXE"));
    EXPECT_FALSE(EqualNoCase(L"regsvr32.exe", L"regsvr32.ex"));
}

// The one case rule that names, patterns and paths all compare by: Latin-1 letters fold, the
// signs that sit among them do not.
TEST(Text, FoldingKeepsSignsAndOrdersNamesAlike) {
    struct Case {
        wchar_t in;
        wchar_t out;
    };
    for (const Case& c : {Case{L'a', L'A'}, Case{L'z', L'Z'}, Case{L'A', L'A'}, Case{L'@', L'@'}, Case{L'{', L'{'},
                          Case{L'\u00e0', L'\u00c0'}, Case{L'\u00fe', L'\u00de'}, Case{L'\u00f7', L'\u00f7'},
                          Case{L'\u00ff', L'\u00ff'}, Case{L'\u00df', L'\u00df'}}) {
        EXPECT_EQ(FoldChar(c.in), c.out) << static_cast<int>(c.in);
    }
    EXPECT_TRUE(EqualNoCase(L"\u00c1gua", L"\u00e1GUA"));
    EXPECT_FALSE(EqualNoCase(L"\u00f7", L"\u00d7"));
    EXPECT_TRUE(std::is_eq(CompareFolded(L"Abc", L"aBC")));
    EXPECT_TRUE(std::is_lt(CompareFolded(L"ab", L"ABC")));
    EXPECT_TRUE(std::is_lt(CompareFolded(L"a_", L"Ab")) == std::is_lt(CompareNoCase(L"a_", L"Ab")));
}

TEST(Text, LeftCharsTakesWholeTextWhenShort) {
    EXPECT_EQ(LeftChars(L"c:\\x", 2), L"c:");
    EXPECT_EQ(LeftChars(L"c", 2), L"c");
    EXPECT_EQ(LeftChars(L"", 2), L"");
}

TEST(RuntimeErrors, ReportTextIsDescriptionBlankNumber) {
    EXPECT_EQ(ErrorReportText(RuntimeError(53)), L"Arquivo n\u00e3o encontrado 53");
    EXPECT_EQ(ErrorReportText(RuntimeError(58)), L"O arquivo j\u00e1 existe 58");
    EXPECT_EQ(ErrorReportText(RuntimeError(1234, L"Outro")), L"Outro 1234");
}

TEST(RuntimeErrors, CurrentErrorMeetsEveryExceptionType) {
    auto caught = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return CurrentError();
        }
        return RuntimeError(0, L"");
    };
    EXPECT_EQ(caught([] { throw RuntimeError(76); }).Number(), 76);
    EXPECT_EQ(caught([] { throw std::bad_alloc(); }).Number(), 7);
    EXPECT_EQ(caught([] { throw 42; }).Number(), 51);
    EXPECT_EQ(ErrorReportText(caught([] { throw std::length_error("x"); })), L"Erro interno 51");
}

}  // namespace
}  // namespace tervalux
