#include "platform/wildcards.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"

namespace tervalux {

namespace {

// The longest path the system takes without the long-path prefix, its final null left out.
constexpr std::size_t kMaxSystemPath = 259;
// Each filtered reading still walks the whole folder inside the system: past this many patterns
// one reading of every name costs less.
constexpr std::size_t kMostSystemPatterns = 3;

// Control characters; characters the system takes as wildcards of its own ("<", ">", '"'),
// refuses in a name ("|") or reads as a separator or a stream name; and anything beyond ASCII,
// where the system's case folding is not ours.
bool IsForeignToTheSystem(wchar_t c) {
    return c < 0x20 || c > 0x7E || std::wstring_view(L"<>\"|/\\:").find(c) != std::wstring_view::npos;
}

// "*", "*.*" and the like: one reading of every name does it.
bool MatchesEveryName(std::wstring_view pattern) {
    const std::size_t dot = pattern.find_first_not_of(L'*');
    if (dot == std::wstring_view::npos) return true;
    return dot > 0 && pattern[dot] == L'.' && pattern.find_first_not_of(L'*', dot + 1) == std::wstring_view::npos;
}

// Whether the text after a pattern's last star begins with what it ends with ("*.x.x", "*aa").
// Wine's matcher, before it was rewritten, goes on after such a text is found where the text
// ended, and so misses a name where it is found again overlapping ("c.x.x.x").
bool TailOverlapsItself(std::wstring_view pattern) {
    const std::size_t star = pattern.rfind(L'*');
    if (star == std::wstring_view::npos) return false;
    const std::wstring tail = UpperCase(pattern.substr(star + 1));
    for (std::size_t length = 1; length < tail.size(); ++length) {
        if (tail.compare(0, length, tail, tail.size() - length, length) == 0) return true;
    }
    return false;
}

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

std::optional<std::wstring> SystemPattern(std::wstring_view pattern, std::size_t folderLength) {
    if (pattern.empty() || std::any_of(pattern.begin(), pattern.end(), IsForeignToTheSystem)) return std::nullopt;
    // The system's "?" takes a character where ours takes none (before a dot, at the end of a
    // name), and not every system agrees on it.
    if (pattern.find(L'?') != std::wstring_view::npos) return std::nullopt;
    // The system strips a last step's final dots and blanks, so it would be asked another
    // pattern; a leading blank is kept by some calls and not by others.
    if (pattern.front() == L' ' || pattern.back() == L' ' || pattern.back() == L'.') return std::nullopt;
    if (TailOverlapsItself(pattern)) return std::nullopt;
    std::wstring result(pattern);
    // Without a wildcard the system looks up one name, and a folder that tells case apart can
    // hold several that we take as that name: a final star makes it a search that returns them all.
    if (!HasWildcard(result)) result += L'*';
    if (folderLength + 1 + result.size() > kMaxSystemPath) return std::nullopt;
    return result;
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

std::vector<std::wstring> PatternSet::SystemPatterns(std::size_t folderLength) const {
    std::vector<std::wstring> result;
    for (const Pattern& pattern : patterns_) {
        if (MatchesEveryName(pattern.text)) return {};
        std::optional<std::wstring> system = SystemPattern(pattern.text, folderLength);
        if (!system) return {};
        // The same pattern twice is read once.
        if (std::find(result.begin(), result.end(), *system) == result.end()) result.push_back(std::move(*system));
    }
    if (result.size() > kMostSystemPatterns) return {};
    return result;
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
