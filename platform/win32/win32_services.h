#pragma once
// The runtime services on the real Windows API (wide functions only).
//
// Long paths: an absolute drive path of 260 characters or more is handed to the file functions
// with the "\\?\" prefix, which lifts the MAX_PATH limit. That prefix also switches off the
// system's own clean-up of the path, so the path is first brought into its plain form ('/' as
// '\', doubled separators collapsed, "." and ".." resolved). Shorter paths, relative paths and
// network paths go to the system as they are. The process start has no long-path form for the
// program it runs: a program past MAX_PATH is started by its short (8.3) path where the file system
// has one that fits, and by the path as given otherwise (which then fails as the system says). A
// current folder past MAX_PATH is not given at all: the program starts in ours.
#include <windows.h>

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
    std::unique_ptr<HeldFile> HoldFile(const std::wstring& path, HoldFor purpose) override;
    std::optional<FileIdentity> IdentityOf(const std::wstring& path) override;
    void StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                      const std::wstring& currentFolder = {}) override;
    void ShowMessage(const std::wstring& prompt) override;
    bool SameFile(const std::wstring& a, const std::wstring& b) override;
    bool SameContents(const std::wstring& a, const std::wstring& b) override;
    void ReadWholeFile(const std::wstring& path) override;
    bool FileExists(const std::wstring& path) override;
    std::optional<std::uint16_t> ImageMachineOf(const std::wstring& path) override;
    SystemBitness Bitness() override;

    const std::wstring& ApplicationTitle() const noexcept { return title_; }
    void SetApplicationTitle(std::wstring title) { title_ = std::move(title); }

    // The window every box belongs to. While a box stands its owner is disabled, so no button of
    // the form can run a handler inside another handler that waits in the box. The active window
    // will not do: a registrar just started has taken the activation.
    void SetMessageOwner(HWND owner) noexcept { owner_ = owner; }

   private:
    std::wstring title_;
    HWND owner_ = nullptr;
};

}  // namespace tervalux::win32
