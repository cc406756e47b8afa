#include "platform/win32/win32_errors.h"

#include <optional>
#include <string>

namespace tervalux::win32 {

namespace {

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

    {ERROR_NOT_READY, err::DiskNotReady, {}},
    {ERROR_DISK_FULL, err::DiskFull, {}},
    {ERROR_HANDLE_DISK_FULL, err::DiskFull, {}},

    {ERROR_INVALID_NAME, err::BadFileName, {}},
    {ERROR_BAD_PATHNAME, err::BadFileName, {}},
    {ERROR_FILENAME_EXCED_RANGE, err::BadFileName, {}},

    {ERROR_FILE_EXISTS, err::FileAlreadyExists, {}},
    {ERROR_ALREADY_EXISTS, err::FileAlreadyExists, {}},

    {ERROR_NOT_ENOUGH_MEMORY, err::OutOfMemory, {}},
    {ERROR_OUTOFMEMORY, err::OutOfMemory, {}},

    {ERROR_INVALID_DRIVE, err::DeviceUnavailable, {}},
    {ERROR_DEV_NOT_EXIST, err::DeviceUnavailable, {}},
    {ERROR_BAD_NETPATH, err::DeviceUnavailable, {}},
    {ERROR_BAD_NET_NAME, err::DeviceUnavailable, {}},
    {ERROR_NETNAME_DELETED, err::DeviceUnavailable, {}},
    {ERROR_UNEXP_NET_ERR, err::DeviceUnavailable, {}},
    {ERROR_NETWORK_UNREACHABLE, err::DeviceUnavailable, {}},
    {ERROR_HOST_UNREACHABLE, err::DeviceUnavailable, {}},

    {ERROR_CRC, err::DeviceIo, {}},
    {ERROR_SECTOR_NOT_FOUND, err::DeviceIo, {}},
    {ERROR_WRITE_FAULT, err::DeviceIo, {}},
    {ERROR_READ_FAULT, err::DeviceIo, {}},
    {ERROR_GEN_FAILURE, err::DeviceIo, {}},

    {ERROR_MOD_NOT_FOUND, err::DllLoad, {}},
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

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
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

}  // namespace

RuntimeError ErrorFromWin32(DWORD code, Operation op) {
    if (IsBadExecutableFormat(code)) {
        if (op == Operation::Start) return RuntimeError(err::InvalidCall);
        if (op == Operation::Load) return RuntimeError(err::DllLoad);
    }
    for (const Mapping& row : kMappings) {
        if (row.code == code && (!row.only || *row.only == op)) return RuntimeError(row.number);
    }
    std::wstring message = SystemMessage(code);
    if (message.empty()) return RuntimeError(err::PathFileAccess);
    return RuntimeError(err::PathFileAccess, std::move(message));
}

void ThrowLastError(Operation op) {
    throw ErrorFromWin32(GetLastError(), op);
}

}  // namespace tervalux::win32
