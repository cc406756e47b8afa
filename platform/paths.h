#pragma once
// Paths as the file lists spell them: a folder text resolved to one full path, roots of drives
// and of shares, joining and splitting at "\".
#include <string>
#include <string_view>
#include <vector>

namespace tervalux {

// The full folder path that `text` names, seen from the folder `base` (itself a full path or
// empty): "x:..." is taken on drive x (a drive without a path is its root), "\..." on the root of
// base's drive, "\\server\share\..." as is, anything else relative to base. "." and ".." steps
// are resolved, "/" is read as "\", repeated separators count once, and the result ends in "\"
// only at a drive root. Empty when the text cannot name a folder (empty, or relative with no
// base).
std::wstring ResolveFolder(std::wstring_view base, std::wstring_view text);

// The root of a full path, ending in "\": "c:\" or "\\server\share\"; empty when the path has none.
std::wstring RootOf(std::wstring_view path);

// Whether a full path is a root as ResolveFolder spells it.
bool IsRoot(std::wstring_view path);

// A folder path and a name joined with exactly one "\" between them.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// A path the system gave in its extended form as an ordinary one: "\\?\c:\x" is "c:\x" and
// "\\?\UNC\server\share\x" is "\\server\share\x"; a path without the prefix is itself. Empty
// where no ordinary path names it: another extended form (a volume without a drive letter), or a
// path of MAX_PATH (260) characters or more, which the calls that take no extended form refuse.
std::wstring OrdinaryPath(std::wstring_view path);

// The names of the folders from the root down to `path` (the first one is the root itself).
std::vector<std::wstring> PathSteps(std::wstring_view path);

}  // namespace tervalux
