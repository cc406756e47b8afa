#pragma once
// The list controls' file queries on the real file system.
#include "platform/file_queries.h"

namespace tervalux::win32 {

class Win32FileQueries : public FileQueries {
   public:
    std::vector<DriveEntry> ListDrives() override;
    wchar_t CurrentDrive() override;
    void CheckFolder(const std::wstring& folder) override;
    std::vector<std::wstring> ListFolders(const std::wstring& folder) override;
    void ListFiles(const std::wstring& folder, std::span<const std::wstring> patterns,
                   const std::function<void(std::wstring_view)>& visit) override;
    bool TellsCaseApart(const std::wstring& folder) override;
};

}  // namespace tervalux::win32
