#include "platform/text.h"

#include <algorithm>

namespace tervalux {

std::wstring TrimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

wchar_t FoldChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - (L'a' - L'A'));
    // Latin-1 lower-case letters lie 0x20 above their capitals, except the division sign and
    // y-diaeresis.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

std::wstring UpperCase(std::wstring_view text) {
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), FoldChar);
    return result;
}

std::wstring LeftChars(std::wstring_view text, std::size_t n) {
    return std::wstring(text.substr(0, n));
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return std::is_eq(CompareFolded(a, b));
}

std::weak_ordering CompareFolded(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t x = a[i];
        const wchar_t y = b[i];
        if (x == y) continue;
        const wchar_t fx = FoldChar(x);
        const wchar_t fy = FoldChar(y);
        if (fx != fy) return fx <=> fy;
    }
    return a.size() <=> b.size();
}

std::strong_ordering CompareNoCase(std::wstring_view a, std::wstring_view b) {
    const std::weak_ordering folded = CompareFolded(a, b);
    if (std::is_lt(folded)) return std::strong_ordering::less;
    if (std::is_gt(folded)) return std::strong_ordering::greater;
    return a.compare(b) <=> 0;
}

}  // namespace tervalux
