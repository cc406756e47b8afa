#include "tests/fakes/memory_file_queries.h"

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "platform/wildcards.h"

namespace tervalux::fake {

namespace {

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

// Small letters moved where FoldChar cannot reach them, so that the matcher takes letters as written.
std::wstring CaseKept(std::wstring text) {
    for (wchar_t& c : text) {
        if (FoldChar(c) != c) c = static_cast<wchar_t>(0xE000 + c);
    }
    return text;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L"\\" + name;
}

}  // namespace

MemoryFileQueries::MemoryFileQueries(MemoryFileSystem& fs) : fs_(fs) {
    AddDrive(L'C');
}

void MemoryFileQueries::AddDrive(wchar_t letter, std::wstring label) {
    letter = Upper(letter);
    drives_[letter] = std::move(label);
    fs_.AddFolder(std::wstring(1, letter) + L":\\");
}

void MemoryFileQueries::SetNotReady(wchar_t letter, std::int32_t number) {
    notReady_[Upper(letter)] = number;
}

void MemoryFileQueries::SetReady(wchar_t letter) {
    notReady_.erase(Upper(letter));
}

void MemoryFileQueries::SetKind(wchar_t letter, DriveKind kind) {
    kinds_[Upper(letter)] = kind;
}

void MemoryFileQueries::SetShortName(const std::wstring& path, std::wstring shortName) {
    shortNames_[MemoryFileSystem::Key(path)] = std::move(shortName);
}

std::vector<DriveEntry> MemoryFileQueries::ListDrives() {
    ++listDrivesCalls;
    std::vector<DriveEntry> drives;
    for (const auto& [letter, label] : drives_) {
        // A drive without a medium has no label to read.
        const auto kind = kinds_.find(letter);
        drives.push_back(DriveEntry{letter, notReady_.count(letter) ? std::wstring() : label,
                                    kind != kinds_.end() ? kind->second : DriveKind::Fixed});
    }
    return drives;
}

void MemoryFileQueries::CheckFolder(const std::wstring& folder) {
    if (beforeQuery) beforeQuery(folder);
    if (folder.size() >= 2 && folder[1] == L':') {
        const wchar_t letter = Upper(folder[0]);
        if (!drives_.count(letter)) throw RuntimeError(err::DeviceUnavailable);
        if (const auto it = notReady_.find(letter); it != notReady_.end()) throw RuntimeError(it->second);
    }
    if (!fs_.IsFolder(folder)) throw RuntimeError(err::PathNotFound);
}

std::vector<std::wstring> MemoryFileQueries::ListFolders(const std::wstring& folder) {
    CheckFolder(folder);
    return fs_.Folders(folder);
}

void MemoryFileQueries::ListFiles(const std::wstring& folder, std::span<const std::wstring> patterns,
                                  const std::function<void(std::wstring_view)>& visit) {
    CheckFolder(folder);
    ++listFilesCalls;
    patternsAsked.insert(patternsAsked.end(), patterns.begin(), patterns.end());
    const bool caseApart = TellsCaseApart(folder);
    const auto spelt = [caseApart](const std::wstring& text) { return caseApart ? CaseKept(text) : text; };
    for (const std::wstring& pattern : patterns) {
        for (const std::wstring& name : fs_.Files(folder)) {
            const std::wstring path = Join(folder, name);
            const std::uint32_t attributes = fs_.Attributes(path).value_or(0);
            if (attributes & (kHidden | kSystem)) continue;
            const auto shortName = shortNames_.find(MemoryFileSystem::Key(path));
            if (MatchesWildcard(spelt(pattern), spelt(name)) ||
                (shortName != shortNames_.end() && MatchesWildcard(spelt(pattern), spelt(shortName->second)))) {
                visit(name);
            }
        }
    }
}

}  // namespace tervalux::fake
