#pragma once
// Every file under a folder with its bytes, keyed by its full path in upper case (the file system
// compares names without regard to case), and the differences between two such maps.
#include <map>
#include <string>

namespace tervalux::win32::testing {

using TreeSnapshot = std::map<std::wstring, std::string>;

// The key a path has in a snapshot.
std::wstring SnapshotKey(const std::wstring& path);

// Walks `folder` (paths past MAX_PATH included). A file that cannot be read is recorded with a
// marker in place of its bytes, so it never passes for an empty file.
TreeSnapshot SnapshotTree(const std::wstring& folder);

// One line per path that differs ("added", "removed", "changed"); empty when the two are equal.
std::string SnapshotDifferences(const TreeSnapshot& expected, const TreeSnapshot& actual);

}  // namespace tervalux::win32::testing
