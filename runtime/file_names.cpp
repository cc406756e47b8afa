#include "runtime/file_names.h"

#include <algorithm>

namespace tervalux::rt {

wchar_t FoldChar(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - (L'a' - L'A'));
    if (c < 0xE0) return c;
    // Latin-1 lower-case letters lie 0x20 above their capitals, except the division sign and
    // y-diaeresis.
    if (c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

std::strong_ordering CompareNoCase(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t x = a[i];
        const wchar_t y = b[i];
        if (x == y) continue;
        const wchar_t fx = FoldChar(x);
        const wchar_t fy = FoldChar(y);
        if (fx != fy) return fx <=> fy;
    }
    if (a.size() != b.size()) return a.size() <=> b.size();
    return a.compare(b) <=> 0;
}

namespace {

std::wstring Folded(std::wstring_view text) {
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), FoldChar);
    return result;
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

std::wstring_view TrimmedBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name) {
    return MatchFolded(Folded(pattern), name);
}

bool HasWildcard(std::wstring_view text) {
    return text.find_first_of(L"*?") != std::wstring_view::npos;
}

PatternSet::PatternSet(std::wstring_view patterns) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(L';', start);
        if (end == std::wstring_view::npos) end = patterns.size();
        const std::wstring_view one = TrimmedBlanks(patterns.substr(start, end - start));
        if (!one.empty()) {
            Pattern pattern{Folded(one), false};
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

namespace {

bool IsDriveSpec(std::wstring_view text) {
    return text.size() >= 2 && text[1] == L':' &&
           ((text[0] >= L'a' && text[0] <= L'z') || (text[0] >= L'A' && text[0] <= L'Z'));
}

// Splits at "\" (after "/" became "\"), applying "." and "..". `steps` holds what is there already.
void ApplySteps(std::wstring_view text, std::vector<std::wstring>& steps) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view step = text.substr(start, end - start);
        if (step == L"..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != L".") {
            steps.emplace_back(step);
        }
        start = end + 1;
    }
}

std::wstring Spell(const std::wstring& root, const std::vector<std::wstring>& steps) {
    std::wstring path = root;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) path.push_back(L'\\');
        path += steps[i];
    }
    return path;
}

// Splits a full path into its root and its steps; false when it has no root.
bool SplitFull(std::wstring_view path, std::wstring& root, std::vector<std::wstring>& steps) {
    root = RootOf(path);
    if (root.empty()) return false;
    std::size_t skip = 2;  // "x:"
    if (!IsDriveSpec(path)) {
        // "\\server\share": skip both names.
        const auto server = path.find_first_of(L"\\/", 2);
        const auto share = server == std::wstring_view::npos ? server : path.find_first_of(L"\\/", server + 1);
        skip = share == std::wstring_view::npos ? path.size() : share;
    }
    steps.clear();
    ApplySteps(path.substr(skip), steps);
    return true;
}

}  // namespace

std::wstring RootOf(std::wstring_view path) {
    if (IsDriveSpec(path)) return std::wstring(path.substr(0, 2)) + L"\\";
    const auto isSep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() > 2 && isSep(path[0]) && isSep(path[1])) {
        const auto server = path.find_first_of(L"\\/", 2);
        if (server == std::wstring_view::npos || server == 2) return {};
        auto share = path.find_first_of(L"\\/", server + 1);
        if (share == std::wstring_view::npos) share = path.size();
        if (share == server + 1) return {};
        std::wstring root = L"\\\\";
        root += path.substr(2, server - 2);
        root += L'\\';
        root += path.substr(server + 1, share - server - 1);
        root += L'\\';
        return root;
    }
    return {};
}

bool IsRoot(std::wstring_view path) {
    return !path.empty() && RootOf(path) == path;
}

std::wstring ResolveFolder(std::wstring_view base, std::wstring_view text) {
    if (text.empty()) return {};
    std::wstring root;
    std::vector<std::wstring> steps;
    const auto isSep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (IsDriveSpec(text)) {
        root = RootOf(text);
        std::wstring baseRoot;
        std::vector<std::wstring> baseSteps;
        // "x:name" continues from base when base lies on drive x.
        const bool relative = text.size() > 2 && !isSep(text[2]);
        if (relative && SplitFull(base, baseRoot, baseSteps) && FoldChar(baseRoot[0]) == FoldChar(root[0]) &&
            IsDriveSpec(baseRoot)) {
            root = baseRoot;
            steps = std::move(baseSteps);
        }
        ApplySteps(text.substr(2), steps);
        return Spell(root, steps);
    }
    if (text.size() > 1 && isSep(text[0]) && isSep(text[1])) {
        if (!SplitFull(text, root, steps)) return {};
        return Spell(root, steps);
    }
    if (!SplitFull(base, root, steps)) return {};
    if (isSep(text[0])) steps.clear();
    ApplySteps(text, steps);
    return Spell(root, steps);
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    path += name;
    return path;
}

std::vector<std::wstring> PathSteps(std::wstring_view path) {
    std::wstring root;
    std::vector<std::wstring> steps;
    if (!SplitFull(path, root, steps)) return {};
    steps.insert(steps.begin(), root);
    return steps;
}

}  // namespace tervalux::rt
