#include "tests/fakes/memory_platform.h"

#include <algorithm>
#include <stdexcept>

#include "platform/pe_machine.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace tervalux::fake {

std::wstring MemoryFileSystem::Key(const std::wstring& path) {
    std::wstring key;
    key.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        wchar_t c = path[i] == L'/' ? L'\\' : path[i];
        if (c == L'\\' && i > 0 && !key.empty() && key.back() == L'\\') continue;
        key.push_back(c);
    }
    key = UpperCase(key);
    if (key.size() > 3 && key.back() == L'\\') key.pop_back();
    if (key.size() == 2 && key[1] == L':') key.push_back(L'\\');
    return key;
}

std::wstring MemoryFileSystem::ParentKey(const std::wstring& key) {
    const auto slash = key.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    if (slash == 2 && key.size() > 3) return key.substr(0, 3);
    if (slash == 2) return {};
    return key.substr(0, slash);
}

std::wstring MemoryFileSystem::FileKey(const std::wstring& path) const {
    const std::wstring key = Key(path);
    const std::wstring parent = ParentKey(key);
    if (parent.empty() || !caseApart_.contains(parent)) return key;
    return parent + (parent.back() == L'\\' ? L"" : L"\\") + path.substr(path.find_last_of(L"\\/") + 1);
}

void MemoryFileSystem::SetTellsCaseApart(const std::wstring& folder) {
    const std::wstring key = Key(folder);
    caseApart_.insert(key);
    // The files already there are known by their names as first spelt from now on.
    std::map<std::wstring, File> rekeyed;
    for (auto it = files_.begin(); it != files_.end();) {
        if (ParentKey(it->first) != key) {
            ++it;
            continue;
        }
        File file = std::move(it->second);
        it = files_.erase(it);
        rekeyed[FileKey(key + L"\\" + file.name)] = std::move(file);
    }
    files_.merge(rekeyed);
}

void MemoryFileSystem::AddFolder(const std::wstring& path) {
    std::wstring key = Key(path);
    std::wstring name = path;
    while (!key.empty() && !folders_.count(key)) {
        folders_[key] = name;
        key = ParentKey(key);
        const auto slash = name.find_last_of(L"\\/");
        name = slash == std::wstring::npos ? std::wstring() : name.substr(0, slash == 2 ? 3 : slash);
    }
}

void MemoryFileSystem::AddFile(const std::wstring& path, std::string bytes, std::uint32_t attributes) {
    const std::wstring key = FileKey(path);
    AddFolder(path.substr(0, path.find_last_of(L"\\/") == 2 ? 3 : path.find_last_of(L"\\/")));
    const auto slash = path.find_last_of(L"\\/");
    const auto existing = files_.find(key);
    const std::uint64_t index = existing != files_.end() ? existing->second.index : nextIndex_++;
    files_[key] = File{path.substr(slash + 1), std::move(bytes), attributes, index};
}

void MemoryFileSystem::Remove(const std::wstring& path) {
    const std::wstring key = Key(path);
    files_.erase(FileKey(path));
    // A folder goes with everything under it.
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it->first == key || it->first.rfind(key + L"\\", 0) == 0) {
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = files_.begin(); it != files_.end();) {
        it = it->first.rfind(key + L"\\", 0) == 0 ? files_.erase(it) : std::next(it);
    }
}

bool MemoryFileSystem::IsFile(const std::wstring& path) const {
    return files_.count(FileKey(path)) != 0;
}
bool MemoryFileSystem::IsFolder(const std::wstring& path) const {
    return folders_.count(Key(path)) != 0;
}

std::optional<std::string> MemoryFileSystem::Bytes(const std::wstring& path) const {
    const auto it = files_.find(FileKey(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
}

std::optional<std::uint32_t> MemoryFileSystem::Attributes(const std::wstring& path) const {
    if (const auto it = files_.find(FileKey(path)); it != files_.end()) return it->second.attributes;
    if (folders_.count(Key(path))) return kDirectory;
    return std::nullopt;
}

std::optional<std::uint64_t> MemoryFileSystem::Index(const std::wstring& path) const {
    const auto it = files_.find(FileKey(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.index;
}

void MemoryFileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    if (const auto it = files_.find(FileKey(path)); it != files_.end()) it->second.attributes = attributes;
}

std::vector<std::wstring> MemoryFileSystem::Files(const std::wstring& folder) const {
    const std::wstring key = Key(folder);
    std::vector<std::wstring> names;
    for (const auto& [fileKey, file] : files_) {
        if (ParentKey(fileKey) == key) names.push_back(file.name);
    }
    return names;
}

std::vector<std::wstring> MemoryFileSystem::Folders(const std::wstring& folder) const {
    const std::wstring key = Key(folder);
    std::vector<std::wstring> names;
    for (const auto& [folderKey, name] : folders_) {
        if (folderKey != key && ParentKey(folderKey) == key) {
            names.push_back(name.substr(name.find_last_of(L"\\/") + 1));
        }
    }
    return names;
}

void MemoryPlatform::SetVersion(std::int32_t platformId, std::int32_t major, std::int32_t minor) {
    version = VersionRecordAnsi{};
    version.dwPlatformId = platformId;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
}

void MemoryPlatform::SetVersionCode(std::int32_t code) {
    switch (code) {
        case 1: SetVersion(1, 4, 0); break;
        case 2: SetVersion(1, 4, 10); break;
        case 3: SetVersion(1, 4, 90); break;
        case 4: SetVersion(2, 4, 0); break;
        case 5: SetVersion(2, 5, 0); break;
        case 6: SetVersion(2, 5, 1); break;
        default: SetVersion(2, 10, 0); break;
    }
}

void MemoryPlatform::Fail(Op op, const std::wstring& path, std::int32_t number, int times) {
    failures_.push_back(Failure{op, MemoryFileSystem::Key(path), number, times});
}

void MemoryPlatform::CheckFailure(Op op, const std::wstring& path) {
    const std::wstring key = MemoryFileSystem::Key(path);
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->op != op || it->key != key) continue;
        const std::int32_t number = it->number;
        if (it->remaining > 0 && --it->remaining == 0) failures_.erase(it);
        if (number == kProgramFault) throw std::length_error("fault of the program");
        throw RuntimeError(number);
    }
}

void MemoryPlatform::CheckFolderOf(const std::wstring& path) {
    const std::wstring parent = MemoryFileSystem::ParentKey(MemoryFileSystem::Key(path));
    if (parent.empty() || !fs.IsFolder(parent)) throw RuntimeError(err::PathNotFound);
}

void MemoryPlatform::CheckFileThere(const std::wstring& path) {
    if (fs.IsFile(path)) return;
    CheckFolderOf(path);
    throw RuntimeError(err::FileNotFound);
}

std::uint32_t MemoryPlatform::FileAttributes(const std::wstring& path) {
    CheckFailure(Op::Attributes, path);
    if (const auto attributes = fs.Attributes(path)) return ClassicAttributes(*attributes);
    throw RuntimeError(err::FileNotFound);
}

void MemoryPlatform::CopyFileTo(const std::wstring& source, const std::wstring& destination, Overwrite overwrite) {
    CheckFailure(Op::Copy, source);
    CheckFailure(Op::Copy, destination);
    const auto bytes = fs.Bytes(source);
    if (!bytes) {
        CheckFolderOf(source);
        throw RuntimeError(err::FileNotFound);
    }
    CheckFolderOf(destination);
    if (fs.IsFolder(destination)) throw RuntimeError(err::PathFileAccess);
    CheckNotHeld(destination);
    if (const auto attributes = fs.Attributes(destination)) {
        if (overwrite == Overwrite::No) throw RuntimeError(err::FileAlreadyExists);
        if (*attributes & kReadOnly) throw RuntimeError(err::PermissionDenied);
    }
    const std::uint32_t attributes = fs.Attributes(source).value_or(kArchive);
    fs.AddFile(destination, *bytes, attributes | kArchive);
    events.push_back(Event{L"copy", source, destination});
}

void MemoryPlatform::DeleteFileAt(const std::wstring& path) {
    Delete(path, false);
}

void MemoryPlatform::Delete(const std::wstring& path, bool throughHold) {
    CheckFailure(Op::Delete, path);
    const auto attributes = fs.Attributes(path);
    if (!attributes || fs.IsFolder(path)) {
        CheckFolderOf(path);
        throw RuntimeError(err::FileNotFound);
    }
    if (*attributes & kReadOnly) throw RuntimeError(err::PermissionDenied);
    if (!throughHold) CheckNotHeld(path);
    fs.Remove(path);
    events.push_back(Event{L"delete", path, L""});
}

void MemoryPlatform::CheckNotHeld(const std::wstring& path) const {
    if (IsHeld(path)) throw RuntimeError(err::PermissionDenied);  // a sharing violation
}

bool MemoryPlatform::IsHeld(const std::wstring& path) const {
    return held_.count(MemoryFileSystem::Key(path)) != 0;
}

bool MemoryPlatform::WriteAsAnotherProgram(const std::wstring& path, std::string bytes) {
    if (IsHeld(path)) return false;
    fs.AddFile(path, std::move(bytes));
    return true;
}

class MemoryHeldFile : public HeldFile {
   public:
    MemoryHeldFile(MemoryPlatform& platform, std::wstring path, HoldFor purpose)
        : platform_(platform),
          path_(std::move(path)),
          key_(MemoryFileSystem::Key(path_)),
          identity_(platform_.IdentityOf(path_).value()),
          purpose_(purpose) {
        platform_.held_.insert(key_);
    }
    ~MemoryHeldFile() override { Release(); }
    MemoryHeldFile(const MemoryHeldFile&) = delete;
    MemoryHeldFile& operator=(const MemoryHeldFile&) = delete;

    FileIdentity Identity() override { return identity_; }
    std::wstring ResolvedPath() override { return path_; }
    bool SameContentsAs(const std::wstring& other) override { return platform_.SameContents(path_, other); }
    void Delete() override {
        if (purpose_ != HoldFor::Deleting) throw RuntimeError(err::PermissionDenied);
        // The delete takes the file held: one put in its place behind the hold (which the real
        // system refuses) stays.
        if (platform_.IdentityOf(path_) != identity_) throw RuntimeError(err::FileNotFound);
        platform_.Delete(path_, true);
        Release();
    }

   private:
    void Release() {
        if (released_) return;
        released_ = true;
        platform_.held_.erase(platform_.held_.find(key_));
    }

    MemoryPlatform& platform_;
    std::wstring path_;
    std::wstring key_;
    FileIdentity identity_;
    HoldFor purpose_;
    bool released_ = false;
};

std::unique_ptr<HeldFile> MemoryPlatform::HoldFile(const std::wstring& path, HoldFor purpose) {
    CheckFailure(Op::Hold, path);
    CheckFileThere(path);
    return std::make_unique<MemoryHeldFile>(*this, path, purpose);
}

std::optional<FileIdentity> MemoryPlatform::IdentityOf(const std::wstring& path) {
    const std::optional<std::uint64_t> index = fs.Index(path);
    if (!index) return std::nullopt;
    // One volume per drive letter.
    const std::wstring key = MemoryFileSystem::Key(path);
    const wchar_t drive = key.empty() ? L'\0' : key[0];
    return FileIdentity{static_cast<std::uint64_t>(drive), drivesWithoutFileIds.contains(drive) ? 0 : *index};
}

void MemoryPlatform::StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                                  const std::wstring& currentFolder) {
    CheckFailure(Op::Start, program);
    CheckFileThere(program);
    const std::wstring key = MemoryFileSystem::Key(program);
    const bool library = key.size() > 4 && (key.ends_with(L".DLL") || key.ends_with(L".OCX"));
    if (library || notPrograms.count(key)) throw RuntimeError(err::InvalidCall);
    // The system refuses to start a program in a folder that is not there.
    if (!currentFolder.empty() && !fs.IsFolder(currentFolder)) throw RuntimeError(err::PathNotFound);
    starts.push_back(ProgramStart{program, commandLine, style, currentFolder});
    startedBytes.push_back(fs.Bytes(program).value_or(""));
    events.push_back(Event{L"start", program, commandLine});
}

void MemoryPlatform::ShowMessage(const std::wstring& prompt) {
    messages.push_back(prompt);
    events.push_back(Event{L"message", prompt, L""});
    if (onMessage) onMessage(prompt);
}

bool MemoryPlatform::SameFile(const std::wstring& a, const std::wstring& b) {
    if (fs.IsFolder(a)) return fs.IsFolder(b) && MemoryFileSystem::Key(a) == MemoryFileSystem::Key(b);
    const std::optional<FileIdentity> one = IdentityOf(a);
    const std::optional<FileIdentity> two = IdentityOf(b);
    return one && two && one->TellsFilesApart() && *one == *two;
}

bool MemoryPlatform::SameContents(const std::wstring& a, const std::wstring& b) {
    try {
        CheckFailure(Op::Read, a);
        CheckFailure(Op::Read, b);
    } catch (const RuntimeError&) {
        return false;
    }
    const auto x = fs.Bytes(a);
    const auto y = fs.Bytes(b);
    const bool same = x && y && *x == *y;
    if (afterCompare) afterCompare();
    return same;
}

void MemoryPlatform::ReadWholeFile(const std::wstring& path) {
    CheckFailure(Op::Read, path);
    CheckFileThere(path);
}

bool MemoryPlatform::FileExists(const std::wstring& path) {
    return fs.IsFile(path);
}

std::optional<std::uint16_t> MemoryPlatform::ImageMachineOf(const std::wstring& path) {
    try {
        CheckFailure(Op::Read, path);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
    const auto bytes = fs.Bytes(path);
    if (!bytes) return std::nullopt;
    const std::size_t head = std::min(bytes->size(), kImageHeadBytes);
    return ImageMachine(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), head));
}

std::uint32_t MemoryPlatform::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    ++windowsDirectoryCalls;
    windowsDirectorySizesAsked.push_back(size);
    if (windowsDirectoryThrows) throw RuntimeError(*windowsDirectoryThrows);
    if (!windowsDirectory) return 0;
    const std::string text = ToAnsi(*windowsDirectory);
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length + 1 > size) return length + 1;
    std::copy(text.begin(), text.end(), buffer);
    buffer[length] = '\0';
    return length;
}

std::int32_t MemoryPlatform::GetVersionExA(VersionRecordAnsi* record) {
    ++versionCalls;
    if (versionThrows) throw RuntimeError(*versionThrows);
    if (versionCallFails || record->dwOSVersionInfoSize != 148) return 0;
    const std::int32_t size = record->dwOSVersionInfoSize;
    *record = version;
    record->dwOSVersionInfoSize = size;
    return 1;
}

std::string MemoryPlatform::ToAnsi(std::wstring_view text) {
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text) result.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return result;
}

std::wstring MemoryPlatform::FromAnsi(std::string_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (char c : text) result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return result;
}

}  // namespace tervalux::fake
