#pragma once
// Names and paths as the file lists treat them: wildcard patterns matched the way the platform
// matches them, case-insensitive ordering, and folder paths resolved and spelt one way.
#include <compare>
#include <string>
#include <string_view>
#include <vector>

namespace tervalux::rt {

// Upper case of one character for comparing names (Latin letters; others compare as they are).
wchar_t FoldChar(wchar_t c);

// Three-way comparison of two names without regard to case; names equal but for case order
// by their code units so that a sort is stable across runs.
std::strong_ordering CompareNoCase(std::wstring_view a, std::wstring_view b);

// One or more wildcard patterns separated by ";" (blanks around each are ignored). A name matches
// when it matches any of them. Matching ignores case. "*" stands for any run of characters, "?"
// for one character or for none at the end of the name or before a dot, and a final "." or ".*"
// also matches a name without an extension, so "*.*" matches every name. An empty list
// matches every name.
class PatternSet {
   public:
    explicit PatternSet(std::wstring_view patterns = L"*.*");
    bool Matches(std::wstring_view name) const;

   private:
    struct Pattern {
        std::wstring text;  // folded
        bool suffixOnly;    // "*" then literal characters: a plain ends-with test
    };
    std::vector<Pattern> patterns_;
};

// Whether one pattern (no ";") matches a name; see PatternSet.
bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name);

// Whether a text holds a wildcard character.
bool HasWildcard(std::wstring_view text);

// The full folder path that `text` names, seen from the folder `base` (itself a full path or
// empty): "x:..." is taken on drive x (a drive without a path is its root), "\..." on the root of
// base's drive, "\\server\share\..." as is, anything else relative to base. "." and ".." steps
// are resolved, "/" is read as "\", repeated separators count once, and the result ends in "\"
// only at a drive root. Empty when the text cannot name a folder (empty, or relative with no
// base).
std::wstring ResolveFolder(std::wstring_view base, std::wstring_view text);

// The root of a full path: "c:\" or "\\server\share"; empty when the path has none.
std::wstring RootOf(std::wstring_view path);

// Whether a full path is a root as ResolveFolder spells it.
bool IsRoot(std::wstring_view path);

// A folder path and a name joined with exactly one "\" between them.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The names of the folders from the root down to `path` (the first one is the root itself).
std::vector<std::wstring> PathSteps(std::wstring_view path);

}  // namespace tervalux::rt
