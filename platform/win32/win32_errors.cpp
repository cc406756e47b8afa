#include "platform/win32/win32_errors.h"

#include <optional>
#include <string>

namespace tervalux::win32 {

namespace {

// Codes that not every SDK's headers name (their values are fixed by the system).
constexpr DWORD kVirusInfected = 225;
constexpr DWORD kVirusDeleted = 226;
constexpr DWORD kDeviceHardwareError = 483;
constexpr DWORD kElevationRequired = 740;
constexpr DWORD kDiskQuotaExceeded = 1295;

struct Mapping {
    DWORD code;
    std::int32_t number;
    std::optional<Operation> only;  // the row holds for this operation only; nothing = any
};

// Rows are read top to bottom; the first that holds wins, so an operation-specific row stands
// before the general row for the same code.
const Mapping kMappings[] = {
    {ERROR_FILE_NOT_FOUND, err::FileNotFound, {}},
    // Asked about a file, a missing folder on its way means the file is missing: the unregister
    // command's fallback waits for 53. A copy into a missing folder stays 76.
    {ERROR_PATH_NOT_FOUND, err::FileNotFound, Operation::Attributes},
    {ERROR_DIRECTORY, err::FileNotFound, Operation::Attributes},
    {ERROR_PATH_NOT_FOUND, err::PathNotFound, {}},
    {ERROR_DIRECTORY, err::PathNotFound, {}},

    // A read-only destination or a read-only file to delete is a refusal, not a broken path.
    {ERROR_ACCESS_DENIED, err::PermissionDenied, Operation::Copy},
    {ERROR_ACCESS_DENIED, err::PermissionDenied, Operation::Delete},
    {ERROR_ACCESS_DENIED, err::PathFileAccess, {}},
    {ERROR_WRITE_PROTECT, err::PermissionDenied, {}},
    {ERROR_SHARING_VIOLATION, err::PermissionDenied, {}},
    {ERROR_LOCK_VIOLATION, err::PermissionDenied, {}},
    {ERROR_DRIVE_LOCKED, err::PermissionDenied, {}},
    {ERROR_USER_MAPPED_FILE, err::PermissionDenied, {}},  // a library loaded by some process
    {ERROR_DELETE_PENDING, err::PermissionDenied, {}},
    {ERROR_NETWORK_ACCESS_DENIED, err::PermissionDenied, {}},
    {ERROR_PRIVILEGE_NOT_HELD, err::PermissionDenied, {}},
    {kElevationRequired, err::PermissionDenied, {}},             // the registrar asks for administrator rights
    {ERROR_CANCELLED, err::PermissionDenied, Operation::Start},  // ... and the user said no
    {ERROR_ACCESS_DISABLED_BY_POLICY, err::PermissionDenied, {}},
    {kVirusInfected, err::PermissionDenied, {}},
    {kVirusDeleted, err::PermissionDenied, {}},
    {ERROR_LOGON_FAILURE, err::PermissionDenied, {}},
    {ERROR_SESSION_CREDENTIAL_CONFLICT, err::PermissionDenied, {}},

    {ERROR_NOT_READY, err::DiskNotReady, {}},
    {ERROR_NO_MEDIA_IN_DRIVE, err::DiskNotReady, {}},
    {ERROR_WRONG_DISK, err::DiskNotReady, {}},
    {ERROR_MEDIA_CHANGED, err::DiskNotReady, {}},
    {ERROR_UNRECOGNIZED_MEDIA, err::DiskNotReady, {}},
    {ERROR_NOT_DOS_DISK, err::DiskNotReady, {}},

    {ERROR_DISK_FULL, err::DiskFull, {}},
    {ERROR_HANDLE_DISK_FULL, err::DiskFull, {}},
    {kDiskQuotaExceeded, err::DiskFull, {}},
    {ERROR_FILE_TOO_LARGE, err::DiskFull, {}},

    {ERROR_INVALID_NAME, err::BadFileName, {}},
    {ERROR_BAD_PATHNAME, err::BadFileName, {}},
    {ERROR_FILENAME_EXCED_RANGE, err::BadFileName, {}},
    {ERROR_BUFFER_OVERFLOW, err::BadFileName, {}},  // a file name too long for the system
    {ERROR_CANT_RESOLVE_FILENAME, err::BadFileName, {}},

    {ERROR_FILE_EXISTS, err::FileAlreadyExists, {}},
    {ERROR_ALREADY_EXISTS, err::FileAlreadyExists, {}},

    {ERROR_NOT_ENOUGH_MEMORY, err::OutOfMemory, {}},
    {ERROR_OUTOFMEMORY, err::OutOfMemory, {}},
    {ERROR_NOT_ENOUGH_QUOTA, err::OutOfMemory, {}},
    {ERROR_NO_SYSTEM_RESOURCES, err::OutOfMemory, {}},
    {ERROR_COMMITMENT_LIMIT, err::OutOfMemory, {}},

    {ERROR_TOO_MANY_OPEN_FILES, err::TooManyFiles, {}},

    {ERROR_INVALID_DRIVE, err::DeviceUnavailable, {}},
    {ERROR_DEV_NOT_EXIST, err::DeviceUnavailable, {}},
    {ERROR_DEVICE_NOT_CONNECTED, err::DeviceUnavailable, {}},
    {ERROR_BAD_NETPATH, err::DeviceUnavailable, {}},
    {ERROR_BAD_NET_NAME, err::DeviceUnavailable, {}},
    {ERROR_NETNAME_DELETED, err::DeviceUnavailable, {}},
    {ERROR_UNEXP_NET_ERR, err::DeviceUnavailable, {}},
    {ERROR_NETWORK_UNREACHABLE, err::DeviceUnavailable, {}},
    {ERROR_HOST_UNREACHABLE, err::DeviceUnavailable, {}},
    {ERROR_REM_NOT_LIST, err::DeviceUnavailable, {}},
    {ERROR_NETWORK_BUSY, err::DeviceUnavailable, {}},
    {ERROR_BAD_NET_RESP, err::DeviceUnavailable, {}},
    {ERROR_BAD_DEV_TYPE, err::DeviceUnavailable, {}},
    {ERROR_NO_NET_OR_BAD_PATH, err::DeviceUnavailable, {}},
    {ERROR_NO_NETWORK, err::DeviceUnavailable, {}},
    {ERROR_CONNECTION_UNAVAIL, err::DeviceUnavailable, {}},
    {ERROR_CONNECTION_REFUSED, err::DeviceUnavailable, {}},
    {ERROR_NOT_CONNECTED, err::DeviceUnavailable, {}},
    {ERROR_SEM_TIMEOUT, err::DeviceUnavailable, {}},  // a network share that stopped answering

    {ERROR_CRC, err::DeviceIo, {}},
    {ERROR_SECTOR_NOT_FOUND, err::DeviceIo, {}},
    {ERROR_WRITE_FAULT, err::DeviceIo, {}},
    {ERROR_READ_FAULT, err::DeviceIo, {}},
    {ERROR_GEN_FAILURE, err::DeviceIo, {}},
    {ERROR_IO_DEVICE, err::DeviceIo, {}},
    {ERROR_DISK_OPERATION_FAILED, err::DeviceIo, {}},
    {ERROR_FILE_CORRUPT, err::DeviceIo, {}},
    {ERROR_DISK_CORRUPT, err::DeviceIo, {}},
    {kDeviceHardwareError, err::DeviceIo, {}},

    {ERROR_MOD_NOT_FOUND, err::DllLoad, {}},
    {ERROR_DLL_INIT_FAILED, err::DllLoad, {}},
    {ERROR_PROC_NOT_FOUND, err::DllEntryPoint, {}},
};

// Codes that say "this file is not a program this system can run". Starting such a file is the
// caller's error 5; loading one as a library is a failed load.
bool IsBadExecutableFormat(DWORD code) {
    switch (code) {
        case ERROR_BAD_FORMAT:
        case ERROR_INVALID_EXE_SIGNATURE:
        case ERROR_EXE_MARKED_INVALID:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_EXE_CANNOT_MODIFY_SIGNED_BINARY:
        case ERROR_EXE_CANNOT_MODIFY_STRONG_SIGNED_BINARY: return true;
        default:
            // The old loader's segment and relocation errors, all of them "not a runnable image".
            return code >= ERROR_ITERATED_DATA_EXCEEDS_64k && code <= ERROR_INFLOOP_IN_RELOC_CHAIN;
    }
}

// The system's own text for a code in one language; empty when it has none in that language.
std::wstring SystemMessage(DWORD code, LANGID language) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message;
    if (length != 0 && text != nullptr) message.assign(text, length);
    if (text != nullptr) LocalFree(text);
    // The system ends its messages with a line break (and often a full stop); the report adds
    // " <number>" after the description, so both go.
    const auto last = message.find_last_not_of(L" \t\r\n.");
    message.erase(last == std::wstring::npos ? 0 : last + 1);
    const auto first = message.find_first_not_of(L" \t\r\n");
    message.erase(0, first == std::wstring::npos ? message.size() : first);
    return message;
}

// The system's Portuguese text for a code, where it has one. A system without it may hand back
// its English text for any language asked, so a text equal to the English one does not count.
std::wstring PortugueseSystemMessage(DWORD code) {
    const std::wstring english = SystemMessage(code, static_cast<LANGID>(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    constexpr LANGID kPortuguese[] = {
        static_cast<LANGID>(MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)),
        static_cast<LANGID>(MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE)),
        static_cast<LANGID>(MAKELANGID(LANG_PORTUGUESE, SUBLANG_NEUTRAL)),
    };
    for (const LANGID language : kPortuguese) {
        std::wstring message = SystemMessage(code, language);
        if (!message.empty() && message != english) return message;
    }
    return {};
}

}  // namespace

std::wstring UnmappedCodeDescription(DWORD code) {
    return StandardDescription(err::PathFileAccess) + L" (c\u00f3digo do sistema " + std::to_wstring(code) + L")";
}

RuntimeError ErrorFromWin32(DWORD code, Operation op) {
    if (IsBadExecutableFormat(code)) {
        if (op == Operation::Start) return RuntimeError(err::InvalidCall);
        if (op == Operation::Load) return RuntimeError(err::DllLoad);
    }
    for (const Mapping& row : kMappings) {
        if (row.code == code && (!row.only || *row.only == op)) return RuntimeError(row.number);
    }
    std::wstring message = PortugueseSystemMessage(code);
    if (message.empty()) message = UnmappedCodeDescription(code);
    return RuntimeError(err::PathFileAccess, std::move(message));
}

void ThrowLastError(Operation op) {
    throw ErrorFromWin32(GetLastError(), op);
}

}  // namespace tervalux::win32
