#pragma once
// The runtime services on the real Windows API (wide functions only).
//
// Long paths: an absolute drive path of 260 characters or more is handed to the file functions
// with the "\\?\" prefix, which lifts the MAX_PATH limit. That prefix also switches off the
// system's own clean-up of the path, so the path is first brought into its plain form ('/' as
// '\', doubled separators collapsed, "." and ".." resolved). Shorter paths, relative paths and
// network paths go to the system as they are. Starting a program takes the path as given: the
// process start has no long-path form for the program it runs.
#include <string>

#include "platform/services.h"

namespace tervalux::win32 {

// The form of `path` to hand to a wide file function (see above).
std::wstring ForFileApi(const std::wstring& path);

class Win32Services : public Services {
   public:
    explicit Win32Services(std::wstring applicationTitle = L"Quenlor");

    std::uint32_t FileAttributes(const std::wstring& path) override;
    void CopyFileTo(const std::wstring& source, const std::wstring& destination,
                    Overwrite overwrite = Overwrite::Yes) override;
    void DeleteFileAt(const std::wstring& path) override;
    void StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style) override;
    void ShowMessage(const std::wstring& prompt) override;
    bool SameFile(const std::wstring& a, const std::wstring& b) override;
    bool SameContents(const std::wstring& a, const std::wstring& b) override;
    bool FileExists(const std::wstring& path) override;

    const std::wstring& ApplicationTitle() const noexcept { return title_; }
    void SetApplicationTitle(std::wstring title) { title_ = std::move(title); }

   private:
    std::wstring title_;
};

}  // namespace tervalux::win32
