#include "platform/win32/held_file.h"

#include <windows.h>

#include "platform/win32/file_handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_services.h"

namespace tervalux::win32 {

namespace {

// FILE_DISPOSITION_INFO and its class number, which not every SDK's headers declare.
struct DispositionInfo {
    BOOLEAN deleteFile;
};
constexpr int kFileDispositionInfo = 4;
using SetInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

class Win32HeldFile : public HeldFile {
   public:
    Win32HeldFile(std::wstring path, HANDLE file) : path_(std::move(path)), file_(file) {}

    FileIdentity Identity() override {
        if (const auto identity = IdentityOfHandle(file_.Get())) return *identity;
        ThrowLastError(Operation::Other);
    }

    bool SameContentsAs(const std::wstring& other) override {
        Handle second(OpenForReading(other));
        return second.Valid() && SameBytes(file_.Get(), second.Get());
    }

    void Delete() override {
        // The delete goes through the hold, so it takes the file that was checked; the system
        // removes it when the hold ends. Systems older than Vista cannot, and are given the path
        // once the hold has ended.
        static const auto setInformation =
            SystemFunction<SetInformationFn>(L"kernel32.dll", "SetFileInformationByHandle");
        if (setInformation == nullptr) {
            file_.Close();
            if (!DeleteFileW(ForFileApi(path_).c_str())) ThrowLastError(Operation::Delete);
            return;
        }
        DispositionInfo disposition{TRUE};
        if (!setInformation(file_.Get(), kFileDispositionInfo, &disposition, sizeof disposition)) {
            ThrowLastError(Operation::Delete);
        }
    }

   private:
    std::wstring path_;
    Handle file_;
};

}  // namespace

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
