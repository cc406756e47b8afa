#pragma once
// The runtime's text services. Pure functions on wide text; nothing here can fail.
#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

namespace tervalux {

// Without leading and trailing blanks (the space character only, as the runtime trims).
std::wstring TrimBlanks(std::wstring_view text);

// Upper case of one character by the invariant rules for the Latin letters the program meets
// ("ç" -> "Ç"); any other character stays as it is. Names compare by it without regard to case.
wchar_t FoldChar(wchar_t c);

// Upper case of a whole text, character by character as FoldChar.
std::wstring UpperCase(std::wstring_view text);

// The first n characters; the whole text when n exceeds its length.
std::wstring LeftChars(std::wstring_view text, std::size_t n);

// Equal without regard to letter case, as the file system compares names.
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

// Three-way comparison without regard to case: names equal but for case are equivalent. The
// order in which a name is looked up among sorted names.
std::weak_ordering CompareFolded(std::wstring_view a, std::wstring_view b);

// Three-way comparison of two names without regard to case; names equal but for case order
// by their code units so that a sort is stable across runs.
std::strong_ordering CompareNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace tervalux
