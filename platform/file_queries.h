#pragma once
// What the drive, folder and file lists ask of the file system. Kept apart from the services the
// handlers call, since only the list controls use it.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tervalux {

// What kind of drive a letter stands for, as the system tells it; the drive list shows its icon.
enum class DriveKind { Unknown, Fixed, Removable, CdRom, Network, RamDisk };

struct DriveEntry {
    wchar_t letter = L'C';              // upper case
    std::wstring label;                 // volume label or network name; empty when none
    DriveKind kind = DriveKind::Fixed;  // what the system says the drive is
    bool operator==(const DriveEntry&) const = default;
};

class FileQueries {
   public:
    virtual ~FileQueries() = default;

    // Every drive the system has, in letter order. Must not wait on a drive that is slow to
    // answer (an unreachable network drive): such a drive is listed without its label.
    virtual std::vector<DriveEntry> ListDrives() = 0;

    // Letter of the process's current drive (upper case); 0 when it is not on a drive letter.
    virtual wchar_t CurrentDrive() = 0;

    // Throws a RuntimeError unless the folder can be listed: 68 or 71 for a drive that is not
    // ready (no medium, unreachable network drive, target gone), 76 for a missing folder or a path
    // that names a file.
    virtual void CheckFolder(const std::wstring& folder) = 0;

    // Names of the visible subfolders of a folder ("." and ".." left out), in no set order;
    // throws as CheckFolder.
    virtual std::vector<std::wstring> ListFolders(const std::wstring& folder) = 0;

    // Calls `visit` with the name of each file of a folder that the system finds for one of
    // `patterns` (each a wildcard pattern as SystemPattern gives, "*" for every file), hidden and
    // system files left out, in no set order; the name is valid during the call only. Each
    // pattern is a reading of its own, so a name comes once for each pattern that finds it. The
    // system matches a file's short name as well as its name: a caller puts each name to its own
    // matcher. Throws as CheckFolder. A callback, not a returned list, so that a large folder is
    // filtered as it is read and only the names kept are ever copied.
    virtual void ListFiles(const std::wstring& folder, std::span<const std::wstring> patterns,
                           const std::function<void(std::wstring_view)>& visit) = 0;

    // Whether a folder tells upper and lower case apart in the names it holds, as Windows lets a
    // folder do: the system's filter there matches letters only as they are written. False when
    // the system cannot say, or the question fails in any way; never throws. Asked once for a
    // reading of a folder, not for each of its names.
    virtual bool TellsCaseApart(const std::wstring& folder) = 0;
};

}  // namespace tervalux
