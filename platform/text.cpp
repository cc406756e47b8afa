#include "platform/text.h"

#include <algorithm>

namespace tervalux {

namespace {

wchar_t UpperChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - (L'a' - L'A'));
    // Latin-1 lower-case letters map 0x20 down, except the division sign and y-diaeresis.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

}  // namespace

std::wstring TrimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

std::wstring UpperCase(std::wstring_view text) {
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), UpperChar);
    return result;
}

std::wstring LeftChars(std::wstring_view text, std::size_t n) {
    return std::wstring(text.substr(0, n));
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return UpperChar(x) == UpperChar(y); });
}

}  // namespace tervalux
