#pragma once
// What the drive, folder and file lists ask of the file system. Kept apart from the services the
// handlers call, since only the list controls use it.
#include <string>
#include <vector>

namespace tervalux {

struct DriveEntry {
    wchar_t letter = L'C';  // upper case
    std::wstring label;     // volume label or network name; empty when none
};

class FileQueries {
public:
    virtual ~FileQueries() = default;

    // Every drive the system has, in letter order.
    virtual std::vector<DriveEntry> ListDrives() = 0;

    // Throws a RuntimeError unless the folder can be listed: 68 or 71 for a drive that is not
    // ready (no medium, unreachable network drive, target gone), 76 for a missing folder.
    virtual void CheckFolder(const std::wstring& folder) = 0;

    // Names of the visible subfolders of a folder ("." and ".." left out); throws as CheckFolder.
    virtual std::vector<std::wstring> ListFolders(const std::wstring& folder) = 0;

    // Names of the files of a folder, hidden and system files left out; throws as CheckFolder.
    virtual std::vector<std::wstring> ListFiles(const std::wstring& folder) = 0;
};

}  // namespace tervalux
