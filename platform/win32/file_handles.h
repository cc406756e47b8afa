#pragma once
// Open files as the services use them: a handle that closes itself, the two ways a file is opened
// to be asked about or read, and what is read through a handle.
#include <windows.h>

#include <optional>

#include "platform/services.h"

namespace tervalux::win32 {

class Handle {
   public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    void Close();

   private:
    HANDLE handle_;
};

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file or folder only to ask who it is: no access rights needed, nobody kept out.
HANDLE OpenForIdentity(const std::wstring& path);

// Opens a file for reading from its start, nobody kept out.
HANDLE OpenForReading(const std::wstring& path);

// How much a whole-file read takes at a time.
inline constexpr DWORD kReadChunk = 64 * 1024;

// Reads up to `size` bytes, as many as the file gives; false on a read error.
bool ReadChunk(HANDLE file, char* buffer, DWORD size, DWORD& got);

// Whether the two open files hold the same bytes, each read from its start. False on any read
// error.
bool SameBytes(HANDLE a, HANDLE b);

// The volume and id of an open file, the 128-bit id where the system offers it; nothing when the
// system will not say.
std::optional<FileIdentity> IdentityOfHandle(HANDLE file);

}  // namespace tervalux::win32
