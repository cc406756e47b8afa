#pragma once
// The list controls' file queries over the in-memory file system: drives as a test sets them,
// drives that are not ready on demand, short names, folders that tell case apart, and a count of
// folder readings.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_queries.h"
#include "tests/fakes/memory_platform.h"

namespace tervalux::fake {

inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;

class MemoryFileQueries : public FileQueries {
   public:
    // Drive C with no label; its root folder is created.
    explicit MemoryFileQueries(MemoryFileSystem& fs);

    // Adds a drive (and its root folder unless the drive is not ready).
    void AddDrive(wchar_t letter, std::wstring label = L"");
    // The drive stays listed but any query on it throws `number` (68 or 71).
    void SetNotReady(wchar_t letter, std::int32_t number = 71);
    void SetReady(wchar_t letter);
    // What the drive is said to be (every drive is a fixed one until a test says otherwise).
    void SetKind(wchar_t letter, DriveKind kind);
    // Gives a file a short name; a pattern finds the file by it as by its name, as the system does.
    void SetShortName(const std::wstring& path, std::wstring shortName);
    // Makes a folder one that tells upper and lower case apart: its filter matches letters as written.
    void SetTellsCaseApart(const std::wstring& folder) { fs_.SetTellsCaseApart(folder); }

    wchar_t currentDrive = L'C';
    int listDrivesCalls = 0;
    int listFilesCalls = 0;
    // The patterns of every ListFiles call, in order.
    std::vector<std::wstring> patternsAsked;
    // Runs first in every query on a folder, with the folder asked; may throw to make it fail.
    std::function<void(const std::wstring&)> beforeQuery;

    std::vector<DriveEntry> ListDrives() override;
    wchar_t CurrentDrive() override { return currentDrive; }
    void CheckFolder(const std::wstring& folder) override;
    std::vector<std::wstring> ListFolders(const std::wstring& folder) override;
    void ListFiles(const std::wstring& folder, std::span<const std::wstring> patterns,
                   const std::function<void(std::wstring_view)>& visit) override;
    bool TellsCaseApart(const std::wstring& folder) override { return fs_.TellsCaseApart(folder); }

   private:
    MemoryFileSystem& fs_;
    std::map<wchar_t, std::wstring> drives_;  // upper-case letter -> label
    std::map<wchar_t, DriveKind> kinds_;      // the drives that are not fixed ones
    std::map<wchar_t, std::int32_t> notReady_;
    std::map<std::wstring, std::wstring> shortNames_;  // file key -> short name
};

}  // namespace tervalux::fake
