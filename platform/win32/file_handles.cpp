#include "platform/win32/file_handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/system_function.h"
#include "platform/win32/win32_services.h"

namespace tervalux::win32 {

namespace {

// FILE_ID_INFO and its class number, written here as the system reads them: headers for systems
// before Windows 8 lack them. Its 128-bit id is what ReFS tells files apart by; on NTFS its low
// half is the 64-bit index.
struct FileIdInfo {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};
constexpr int kFileIdInfo = 18;
using GetInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

}  // namespace

void Handle::Close() {
    if (Valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

HANDLE OpenForIdentity(const std::wstring& path) {
    // Backup semantics lets folders open too.
    return CreateFileW(ForFileApi(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

HANDLE OpenForReading(const std::wstring& path) {
    return CreateFileW(ForFileApi(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool ReadChunk(HANDLE file, char* buffer, DWORD size, DWORD& got) {
    got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!ReadFile(file, buffer + got, size - got, &read, nullptr)) return false;
        if (read == 0) break;
        got += read;
    }
    return true;
}

bool SameBytes(HANDLE a, HANDLE b) {
    LARGE_INTEGER sizeA{};
    LARGE_INTEGER sizeB{};
    if (!GetFileSizeEx(a, &sizeA) || !GetFileSizeEx(b, &sizeB)) return false;
    if (sizeA.QuadPart != sizeB.QuadPart) return false;
    if (!Rewind(a) || !Rewind(b)) return false;

    std::vector<char> bufferA(kReadChunk);
    std::vector<char> bufferB(kReadChunk);
    for (;;) {
        DWORD gotA = 0;
        DWORD gotB = 0;
        if (!ReadChunk(a, bufferA.data(), kReadChunk, gotA)) return false;
        if (!ReadChunk(b, bufferB.data(), kReadChunk, gotB)) return false;
        if (gotA != gotB) return false;  // one changed while we read
        if (gotA == 0) return true;
        if (!std::equal(bufferA.begin(), bufferA.begin() + gotA, bufferB.begin())) return false;
    }
}

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
    // Looked up by name: systems before Vista lack the call, and before Windows 8 the class.
    static const auto ask = SystemFunction<GetInformationFn>(L"kernel32.dll", "GetFileInformationByHandleEx");
    FileIdInfo idInfo{};
    if (ask != nullptr && ask(file, kFileIdInfo, &idInfo, sizeof idInfo)) {
        FileIdentity identity{idInfo.volumeSerialNumber, 0, 0};
        std::memcpy(&identity.index, idInfo.fileId, sizeof identity.index);
        std::memcpy(&identity.indexHigh, idInfo.fileId + sizeof identity.index, sizeof identity.indexHigh);
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, 0};
}

}  // namespace tervalux::win32
