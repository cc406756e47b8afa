#include "platform/win32/win32_file_queries.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/runtime_error.h"
#include "platform/win32/file_handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/system_library.h"

namespace tervalux::win32 {

namespace {

// No "insert a disk" box from the system while a drive is asked: a drive that is not ready must
// come back as an error at once.
class QuietDriveErrors {
   public:
    QuietDriveErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietDriveErrors() { SetErrorMode(previous_); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

   private:
    UINT previous_;
};

std::wstring WithSeparator(const std::wstring& folder) {
    return folder.empty() || folder.back() == L'\\' ? folder : folder + L"\\";
}

// The folder as the system opens it: a drive root keeps its separator, since "c:" alone names the
// drive's current folder.
std::wstring OpenedPath(const std::wstring& folder) {
    return RootOf(folder) == WithSeparator(folder) ? WithSeparator(folder) : folder;
}

// The question whether a folder tells case apart, and its answer. Headers before Windows 10 lack
// them, and some number the class otherwise, so they are written here as the system reads them.
constexpr int kFileCaseSensitiveInfo = 23;
constexpr ULONG kCaseSensitiveFolder = 0x1;
struct CaseSensitiveInfo {
    ULONG flags;
};
using GetInformationByHandle = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

bool IsDriveGoneCode(DWORD code) {
    switch (code) {
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_HOST_UNREACHABLE:
        case ERROR_BAD_DEVICE:
        case ERROR_UNRECOGNIZED_VOLUME:
        case ERROR_UNRECOGNIZED_MEDIA: return true;
        default: return false;
    }
}

// The runtime error for a folder that could not be read with `code`. Whether the drive is to
// blame is told by its root folder: a drive letter can stay listed after its medium or target
// has gone.
[[noreturn]] void ThrowFolderError(const std::wstring& folder, DWORD code) {
    if (code == ERROR_NOT_READY) throw RuntimeError(err::DiskNotReady);
    if (IsDriveGoneCode(code)) throw RuntimeError(err::DeviceUnavailable);
    const std::wstring root = RootOf(folder);
    if (!root.empty()) {
        const DWORD rootAttributes = GetFileAttributesW(root.c_str());
        if (rootAttributes == INVALID_FILE_ATTRIBUTES) {
            throw RuntimeError(GetLastError() == ERROR_NOT_READY ? err::DiskNotReady : err::DeviceUnavailable);
        }
    }
    if (code == ERROR_ACCESS_DENIED) throw RuntimeError(err::PathFileAccess);
    throw RuntimeError(err::PathNotFound);
}

// Walks the entries of a folder that the system finds for `namePattern` ("*" for all); `visit`
// gets each but "." and "..". A folder with none is no error.
template <class Visit>
void Walk(const std::wstring& folder, std::wstring_view namePattern, FINDEX_SEARCH_OPS search, Visit&& visit) {
    QuietDriveErrors quiet;
    const std::wstring pattern = WithSeparator(folder).append(namePattern);
    WIN32_FIND_DATAW data;
    // The basic information (no short names) in large batches; systems before Windows 7 know
    // neither and refuse the call, so it is made again the old way.
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, search, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        find = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, search, nullptr, 0);
    }
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return;
        ThrowFolderError(folder, code);
    }
    struct Closer {
        HANDLE handle;
        ~Closer() { FindClose(handle); }
    } closer{find};
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        visit(data);
    } while (FindNextFileW(find, &data));
}

using GetConnection = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);

// The network name of a mapped drive, read from the mapping itself (no round trip to the
// server, so an unreachable one costs nothing). mpr.dll is loaded only when a network drive is
// met.
std::wstring NetworkName(wchar_t letter) {
    static const auto get = LibraryFunction<GetConnection>(LoadSystemLibrary(L"mpr.dll"), "WNetGetConnectionW");
    if (get == nullptr) return {};
    const wchar_t local[] = {letter, L':', 0};
    wchar_t remote[MAX_PATH + 1];
    DWORD length = MAX_PATH;
    if (get(local, remote, &length) != NO_ERROR) return {};
    return remote;
}

DriveKind KindOf(UINT driveType) {
    switch (driveType) {
        case DRIVE_FIXED: return DriveKind::Fixed;
        case DRIVE_REMOVABLE: return DriveKind::Removable;
        case DRIVE_CDROM: return DriveKind::CdRom;
        case DRIVE_REMOTE: return DriveKind::Network;
        case DRIVE_RAMDISK: return DriveKind::RamDisk;
        default: return DriveKind::Unknown;
    }
}

}  // namespace

std::vector<DriveEntry> Win32FileQueries::ListDrives() {
    QuietDriveErrors quiet;
    std::vector<DriveEntry> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        DriveEntry drive;
        drive.letter = static_cast<wchar_t>(L'A' + i);
        const wchar_t root[] = {drive.letter, L':', L'\\', 0};
        const UINT type = GetDriveTypeW(root);
        drive.kind = KindOf(type);
        switch (type) {
            case DRIVE_REMOTE: drive.label = NetworkName(drive.letter); break;
            case DRIVE_FIXED:
            case DRIVE_RAMDISK: {
                wchar_t label[MAX_PATH + 1] = {};
                if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
                    drive.label = label;
                }
                break;
            }
            default:
                // Removable and optical drives are not asked for a label: without a medium the
                // question can take seconds.
                break;
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

wchar_t Win32FileQueries::CurrentDrive() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    if (length < 2 || length > MAX_PATH || buffer[1] != L':') return 0;
    const wchar_t letter = buffer[0];
    return letter >= L'a' && letter <= L'z' ? static_cast<wchar_t>(letter - (L'a' - L'A')) : letter;
}

void Win32FileQueries::CheckFolder(const std::wstring& folder) {
    QuietDriveErrors quiet;
    const DWORD attributes = GetFileAttributesW(OpenedPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowFolderError(folder, GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) throw RuntimeError(err::PathNotFound);
}

std::vector<std::wstring> Win32FileQueries::ListFolders(const std::wstring& folder) {
    CheckFolder(folder);
    std::vector<std::wstring> names;
    Walk(folder, L"*", FindExSearchLimitToDirectories, [&](const WIN32_FIND_DATAW& data) {
        const DWORD attributes = data.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_HIDDEN)) {
            names.emplace_back(data.cFileName);
        }
    });
    return names;
}

void Win32FileQueries::ListFiles(const std::wstring& folder, std::span<const std::wstring> patterns,
                                 const std::function<void(std::wstring_view)>& visit) {
    for (const std::wstring& pattern : patterns) {
        Walk(folder, pattern, FindExSearchNameMatch, [&](const WIN32_FIND_DATAW& data) {
            constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            if (data.dwFileAttributes & kLeftOut) return;
            visit(std::wstring_view(data.cFileName));
        });
    }
}

bool Win32FileQueries::TellsCaseApart(const std::wstring& folder) {
    // Looked up by name: systems before Vista lack the call, and they keep no such setting.
    static const auto ask = SystemFunction<GetInformationByHandle>(L"kernel32.dll", "GetFileInformationByHandleEx");
    if (ask == nullptr) return false;
    QuietDriveErrors quiet;
    // Reading a folder's attributes is all the question needs, so any folder the list can read
    // opens for it.
    const Handle handle(CreateFileW(OpenedPath(folder).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Valid()) return false;
    CaseSensitiveInfo info{};
    return ask(handle.Get(), static_cast<FILE_INFO_BY_HANDLE_CLASS>(kFileCaseSensitiveInfo), &info, sizeof info) &&
           (info.flags & kCaseSensitiveFolder) != 0;
}

}  // namespace tervalux::win32
