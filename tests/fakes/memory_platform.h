#pragma once
// The in-memory platform for the native tests: a Windows-path file system that compares names
// without regard to case, injectable failures by path and operation, a record of every program
// start and message box, and kernel calls that answer whatever a test sets.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel.h"
#include "platform/services.h"

namespace tervalux::fake {

enum class Op { Attributes, Copy, Delete, Start, Read, Hold };

struct ProgramStart {
    std::wstring program;
    std::wstring commandLine;
    WindowStyle style;
    std::wstring currentFolder;  // empty: the caller's own
    bool operator==(const ProgramStart&) const = default;
};

// One observable thing the platform did, in order: lets a test compare a whole sequence.
struct Event {
    std::wstring what;  // "copy", "start", "message", "delete"
    std::wstring a;
    std::wstring b;
    bool operator==(const Event&) const = default;
};

inline constexpr std::int32_t kProgramFault = -1;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kDirectory = 0x10;

class MemoryFileSystem {
   public:
    // Canonical key of a path: upper-cased, '/' as '\', runs of '\' after the first character
    // collapsed (as the system does), no trailing '\' except at a drive root.
    static std::wstring Key(const std::wstring& path);

    void AddFolder(const std::wstring& path);  // with its parents
    void AddFile(const std::wstring& path, std::string bytes = "", std::uint32_t attributes = kArchive);
    void Remove(const std::wstring& path);

    bool IsFile(const std::wstring& path) const;
    bool IsFolder(const std::wstring& path) const;
    std::optional<std::string> Bytes(const std::wstring& path) const;
    std::optional<std::uint32_t> Attributes(const std::wstring& path) const;
    // The file's index: given when a file first appears at its path, kept while bytes are written
    // over it, new once it has been removed and made again.
    std::optional<std::uint64_t> Index(const std::wstring& path) const;
    void SetAttributes(const std::wstring& path, std::uint32_t attributes);
    // Makes a folder one that tells upper and lower case apart: the names of the files in it are
    // compared as written. Folder names are compared without regard to case everywhere.
    void SetTellsCaseApart(const std::wstring& folder);
    bool TellsCaseApart(const std::wstring& folder) const { return caseApart_.contains(Key(folder)); }
    // Names (as first spelt) of the files and folders directly inside a folder.
    std::vector<std::wstring> Files(const std::wstring& folder) const;
    std::vector<std::wstring> Folders(const std::wstring& folder) const;

    // Folder part of a key ("C:\A\B.OCX" -> "C:\A", "C:\X" -> "C:\").
    static std::wstring ParentKey(const std::wstring& key);

   private:
    // Key(path), but for a file in a folder that tells case apart, its name as written.
    std::wstring FileKey(const std::wstring& path) const;

    struct File {
        std::wstring name;
        std::string bytes;
        std::uint32_t attributes;
        std::uint64_t index;
    };
    std::map<std::wstring, File> files_;
    std::uint64_t nextIndex_ = 1;
    std::map<std::wstring, std::wstring> folders_;  // key -> name as first spelt
    std::set<std::wstring> caseApart_;              // keys of the folders that tell case apart
};

class MemoryPlatform : public Services, public KernelCalls {
   public:
    MemoryFileSystem fs;

    // Every start and message box, and every effect, in order.
    std::vector<ProgramStart> starts;
    std::vector<std::wstring> messages;
    std::vector<Event> events;

    // Kernel answers. A windowsDirectory of nullopt makes the call fail (count 0).
    std::optional<std::wstring> windowsDirectory = std::wstring(L"C:\\WINDOWS");
    VersionRecordAnsi version{};  // set platform/major/minor; dwOSVersionInfoSize is overwritten by the call
    bool versionCallFails = false;
    // As if the runtime raised an error inside the kernel call (the library cannot be bound, memory
    // runs out): the call throws this number.
    std::optional<std::int32_t> windowsDirectoryThrows;
    std::optional<std::int32_t> versionThrows;
    int windowsDirectoryCalls = 0;
    int versionCalls = 0;
    std::vector<std::uint32_t> windowsDirectorySizesAsked;

    void SetVersion(std::int32_t platformId, std::int32_t major, std::int32_t minor);
    // The layout of a family: platform ids and versions for the version codes 0..6.
    void SetVersionCode(std::int32_t code);

    // The next `op` on `path` (compared as the file system compares) throws `number`; `times` 0
    // means every time from now on. kProgramFault throws a std::length_error instead, as a fault of
    // the program itself would.
    void Fail(Op op, const std::wstring& path, std::int32_t number, int times = 0);
    // Programs the platform refuses to start as such: starting them throws 5. A file ending in
    // .dll or .ocx is refused anyway; other files must exist to start.
    std::set<std::wstring> notPrograms;
    // Drives (upper-case letters) whose server gives every file the id zero.
    std::set<wchar_t> drivesWithoutFileIds;
    // The system as the program sees it; a 32-bit Windows unless a test says otherwise.
    SystemBitness bitness = SystemBitness::ThirtyTwoBit;
    // Runs while a message box is up, as if the user acted before closing it; optional.
    std::function<void(const std::wstring&)> onMessage;
    // Runs after each comparison of two files' bytes, as if another program acted between the
    // check and what follows it; optional.
    std::function<void()> afterCompare;
    // The bytes of each program started, in order.
    std::vector<std::string> startedBytes;

    // Another program writes `bytes` over the file: refused (false) while the program holds it.
    bool WriteAsAnotherProgram(const std::wstring& path, std::string bytes);
    bool IsHeld(const std::wstring& path) const;

    // Services
    std::uint32_t FileAttributes(const std::wstring& path) override;
    void CopyFileTo(const std::wstring& source, const std::wstring& destination, Overwrite overwrite) override;
    void DeleteFileAt(const std::wstring& path) override;
    std::unique_ptr<HeldFile> HoldFile(const std::wstring& path, HoldFor purpose) override;
    std::optional<FileIdentity> IdentityOf(const std::wstring& path) override;
    void StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                      const std::wstring& currentFolder) override;
    void ShowMessage(const std::wstring& prompt) override;
    bool SameFile(const std::wstring& a, const std::wstring& b) override;
    bool SameContents(const std::wstring& a, const std::wstring& b) override;
    void ReadWholeFile(const std::wstring& path) override;
    bool FileExists(const std::wstring& path) override;
    std::optional<std::uint16_t> ImageMachineOf(const std::wstring& path) override;
    SystemBitness Bitness() override { return bitness; }

    // KernelCalls
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
    std::int32_t GetVersionExA(VersionRecordAnsi* record) override;
    std::string ToAnsi(std::wstring_view text) override;    // Latin-1; '?' beyond it
    std::wstring FromAnsi(std::string_view text) override;  // Latin-1

   private:
    struct Failure {
        Op op;
        std::wstring key;
        std::int32_t number;
        int remaining;  // 0 = always
    };
    std::vector<Failure> failures_;
    std::multiset<std::wstring> held_;  // keys of the files held open
    friend class MemoryHeldFile;
    void CheckFailure(Op op, const std::wstring& path);
    void CheckNotHeld(const std::wstring& path) const;
    void Delete(const std::wstring& path, bool throughHold);
    void CheckFolderOf(const std::wstring& path);
    // A missing file throws 53, or 76 when its folder is missing too.
    void CheckFileThere(const std::wstring& path);
};

}  // namespace tervalux::fake
