#pragma once
// Wildcard patterns on names, matched the way the platform matches them (without regard to case,
// by FoldChar).
#include <string>
#include <string_view>
#include <vector>

namespace tervalux {

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

}  // namespace tervalux
