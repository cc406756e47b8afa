#pragma once
// Wildcard patterns on names, matched the way the platform matches them (without regard to case,
// by FoldChar).
#include <cstddef>
#include <optional>
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

    // The patterns to hand the file system so that it passes over the names of a folder (of
    // `folderLength` characters) that none of them can match; empty when one reading of every
    // name is the way. In a folder that does not tell case apart, what the system returns for
    // them holds every name Matches accepts, and more: it matches short names too, so each name it
    // returns is still put to Matches. A folder that tells case apart is read whole.
    std::vector<std::wstring> SystemPatterns(std::size_t folderLength) const;

   private:
    struct Pattern {
        std::wstring text;  // folded
        bool suffixOnly;    // "*" then literal characters: a plain ends-with test
    };
    std::vector<Pattern> patterns_;
};

// Whether one pattern (no ";") matches a name; see PatternSet.
bool MatchesWildcard(std::wstring_view pattern, std::wstring_view name);

// One pattern, or a bare name, as the file system can take it for a folder of `folderLength`
// characters, such that the names it returns hold every name MatchesWildcard accepts (in a folder
// that does not tell case apart); nullopt when the system would read it otherwise than we do (see
// wildcards.cpp).
std::optional<std::wstring> SystemPattern(std::wstring_view pattern, std::size_t folderLength);

// Whether a text holds a wildcard character.
bool HasWildcard(std::wstring_view text);

}  // namespace tervalux
