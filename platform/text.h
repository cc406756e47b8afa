#pragma once
// The runtime's text services. Pure functions on wide text; nothing here can fail.
#include <cstddef>
#include <string>
#include <string_view>

namespace tervalux {

// Without leading and trailing blanks (the space character only, as the runtime trims).
std::wstring TrimBlanks(std::wstring_view text);

// Upper case by the invariant rules for the Latin letters the program meets ("ç" -> "Ç").
std::wstring UpperCase(std::wstring_view text);

// The first n characters; the whole text when n exceeds its length.
std::wstring LeftChars(std::wstring_view text, std::size_t n);

// Equal without regard to letter case, as the file system compares names.
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace tervalux
