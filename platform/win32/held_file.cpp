#include "platform/win32/held_file.h"

#include "platform/paths.h"
#include "platform/win32/file_handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_services.h"

namespace tervalux::win32 {

namespace {

// FILE_DISPOSITION_INFO and its class numbers for kernel32 and ntdll, and ntdll's call, which
// not every SDK's headers declare.
struct DispositionInfo {
    BOOLEAN deleteFile;
};
constexpr int kFileDispositionInfo = 4;
constexpr int kFileDispositionInformation = 13;
struct IoStatusBlock {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};
using SetInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
using NtSetInformationFileFn = LONG(NTAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using NtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

constexpr DWORD kVolumeNameDos = 0x0;  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS

// kernel32's call, which systems before Vista lack.
SetInformationFn Kernel32SetInformation() {
    static const auto setInformation = SystemFunction<SetInformationFn>(L"kernel32.dll", "SetFileInformationByHandle");
    return setInformation;
}

[[noreturn]] void ThrowNoSuchCall() {
    SetLastError(ERROR_PROC_NOT_FOUND);
    ThrowLastError(Operation::Delete);
}

class Win32HeldFile : public HeldFile {
   public:
    Win32HeldFile(std::wstring path, HANDLE file) : path_(std::move(path)), file_(file) {}

    FileIdentity Identity() override {
        if (const auto identity = IdentityOfHandle(file_.Get())) return *identity;
        ThrowLastError(Operation::Other);
    }

    std::wstring ResolvedPath() override {
        std::wstring resolved = OrdinaryFinalPath(file_.Get());
        return resolved.empty() ? path_ : resolved;
    }

    bool SameContentsAs(const std::wstring& other) override {
        Handle second(OpenForReading(other));
        return second.Valid() && SameBytes(file_.Get(), second.Get());
    }

    void Delete() override {
        DeleteThroughHandle(file_.Get(),
                            Kernel32SetInformation() != nullptr ? DispositionCall::Kernel32 : DispositionCall::Ntdll);
    }

   private:
    std::wstring path_;
    Handle file_;
};

}  // namespace

void DeleteThroughHandle(HANDLE file, DispositionCall call) {
    // The file goes when the hold ends; until then nobody can open it again.
    DispositionInfo disposition{TRUE};
    if (call == DispositionCall::Kernel32) {
        const SetInformationFn setInformation = Kernel32SetInformation();
        if (setInformation == nullptr) ThrowNoSuchCall();
        if (!setInformation(file, kFileDispositionInfo, &disposition, sizeof disposition)) {
            ThrowLastError(Operation::Delete);
        }
        return;
    }
    static const auto setInformation = SystemFunction<NtSetInformationFileFn>(L"ntdll.dll", "NtSetInformationFile");
    static const auto toDosError = SystemFunction<NtStatusToDosErrorFn>(L"ntdll.dll", "RtlNtStatusToDosError");
    if (setInformation == nullptr || toDosError == nullptr) ThrowNoSuchCall();
    IoStatusBlock status{};
    const LONG result = setInformation(file, &status, &disposition, sizeof disposition, kFileDispositionInformation);
    if (result < 0) {
        SetLastError(toDosError(result));
        ThrowLastError(Operation::Delete);
    }
}

std::wstring OrdinaryFinalPath(HANDLE file) {
    static const auto finalPath = SystemFunction<GetFinalPathFn>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    if (finalPath == nullptr) return {};
    std::wstring path(MAX_PATH + 8, L'\0');
    DWORD written = finalPath(file, path.data(), static_cast<DWORD>(path.size()), kVolumeNameDos);
    if (written >= path.size()) {
        path.assign(written, L'\0');
        written = finalPath(file, path.data(), static_cast<DWORD>(path.size()), kVolumeNameDos);
    }
    if (written == 0 || written >= path.size()) return {};
    path.resize(written);
    return OrdinaryPath(path);
}

std::unique_ptr<HeldFile> HoldFileAt(const std::wstring& path, HoldFor purpose) {
    // Others may go on reading (the system reads a program it starts), but not write, rename or
    // delete it.
    const DWORD access = purpose == HoldFor::Deleting ? GENERIC_READ | DELETE : GENERIC_READ;
    const HANDLE file =
        CreateFileW(ForFileApi(path).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ThrowLastError(purpose == HoldFor::Deleting ? Operation::Delete : Operation::Attributes);
    }
    return std::make_unique<Win32HeldFile>(path, file);
}

}  // namespace tervalux::win32
