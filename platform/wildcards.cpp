#include "platform/wildcards.h"

#include <algorithm>

#include "platform/text.h"

namespace tervalux {

namespace {

// A dot that is the pattern's last character or is followed by wildcards only also matches the
// end of a name, so that "*.*" and "name.*" take names without an extension.
bool IsLooseDot(std::wstring_view pattern, std::size_t at) {
    return pattern[at] == L'.' && pattern.find_first_not_of(L"*?", at + 1) == std::wstring_view::npos;
}

// `pattern` is folded already.
bool MatchFolded(std::wstring_view pattern, std::wstring_view name) {
    constexpr std::size_t kNone = std::wstring_view::npos;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = kNone;  // pattern position after the last star met
    std::size_t starN = 0;      // name position that star has reached
    for (;;) {
        bool advanced = false;
        if (p < pattern.size()) {
            const wchar_t c = pattern[p];
            if (c == L'*') {
                while (p < pattern.size() && pattern[p] == L'*') ++p;
                if (p == pattern.size()) return true;
                starP = p;
                starN = n;
                continue;
            }
            if (c == L'?') {
                // One character, or none at the end of the name or before its dot.
                if (n < name.size() && name[n] != L'.') ++n;
                ++p;
                continue;
            }
            if (c == L'.' && IsLooseDot(pattern, p) && n == name.size()) {
                ++p;
                continue;
            }
            if (n < name.size() && FoldChar(name[n]) == c) {
                ++p;
                ++n;
                advanced = true;
            }
        } else if (n == name.size()) {
            return true;
        }
        if (advanced) continue;
        if (starP == kNone || starN == name.size()) return false;
        p = starP;
        n = ++starN;
    }
}

}  // namespace

bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name) {
    return MatchFolded(UpperCase(pattern), name);
}

bool HasWildcard(std::wstring_view text) {
    return text.find_first_of(L"*?") != std::wstring_view::npos;
}

PatternSet::PatternSet(std::wstring_view patterns) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(L';', start);
        if (end == std::wstring_view::npos) end = patterns.size();
        const std::wstring one = TrimBlanks(patterns.substr(start, end - start));
        if (!one.empty()) {
            Pattern pattern{UpperCase(one), false};
            const std::wstring_view rest = std::wstring_view(pattern.text).substr(1);
            pattern.suffixOnly = pattern.text[0] == L'*' && !rest.empty() && !HasWildcard(rest) && rest.back() != L'.';
            patterns_.push_back(std::move(pattern));
        }
        start = end + 1;
    }
}

bool PatternSet::Matches(std::wstring_view name) const {
    if (patterns_.empty()) return true;
    for (const Pattern& pattern : patterns_) {
        if (pattern.suffixOnly) {
            const std::size_t length = pattern.text.size() - 1;
            if (name.size() < length) continue;
            const std::wstring_view tail = name.substr(name.size() - length);
            if (std::equal(tail.begin(), tail.end(), pattern.text.begin() + 1,
                           [](wchar_t x, wchar_t folded) { return FoldChar(x) == folded; })) {
                return true;
            }
        } else if (MatchFolded(pattern.text, name)) {
            return true;
        }
    }
    return false;
}

}  // namespace tervalux
