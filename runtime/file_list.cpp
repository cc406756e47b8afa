#include "runtime/file_list.h"

#include <algorithm>
#include <compare>
#include <limits>

#include "platform/paths.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace tervalux::rt {

namespace {

constexpr EventId kEvents[] = {EventId::Click, EventId::DblClick, EventId::LostFocus};

// Splits a text at its last separator: the folder part (empty when there is none) and the name.
std::pair<std::wstring, std::wstring> SplitLast(const std::wstring& text) {
    const auto at = text.find_last_of(L"\\/:");
    if (at == std::wstring::npos) return {std::wstring(), text};
    // Keep the separator on a root ("c:\", "c:") so that the folder part still names the root.
    const bool keep = text[at] == L':' || (at == 2 && text[1] == L':') || at == 0;
    return {text.substr(0, keep ? at + 1 : at), text.substr(at + 1)};
}

// What the system is handed to read `folder`: `system`, the patterns its own filter reads as the
// list's matcher does, else "*" for every name. The filter of a folder that tells case apart
// matches letters only as written, where the matcher ignores case, so there the matcher decides
// alone. The folder is asked only when its answer can change the reading.
std::vector<std::wstring> Filters(FileQueries& queries, const std::wstring& folder, std::vector<std::wstring> system) {
    if (!system.empty() && queries.TellsCaseApart(folder)) system.clear();
    if (system.empty()) system.emplace_back(L"*");
    return system;
}

}  // namespace

FileList::FileList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries)
    : Control(std::move(name), Kind::FileList, rect, tabIndex), queries_(queries) {}

std::span<const EventId> FileList::Events() const {
    return kEvents;
}

void FileList::Invalidate() {
    stale_ = !path_.empty();
    pool_.clear();
    pool_.shrink_to_fit();
    entries_.clear();
    entries_.shrink_to_fit();
    selected_.reset();
    ++generation_;
    Repaint();
}

void FileList::MoveTo(std::wstring folder) {
    path_ = std::move(folder);
    Invalidate();
}

void FileList::SetPath(const std::wstring& text) {
    std::wstring folder = ResolveFolder(path_, text);
    if (folder.empty()) throw RuntimeError(err::PathNotFound);
    queries_.CheckFolder(folder);
    MoveTo(std::move(folder));
}

void FileList::SetPattern(const std::wstring& text) {
    pattern_ = text;
    patterns_ = PatternSet(text);
    Invalidate();
}

std::wstring FileList::FileName() const {
    if (!selected_ || *selected_ >= entries_.size()) return {};
    return std::wstring(Name(entries_[*selected_]));
}

void FileList::SetFileName(const std::wstring& text) {
    if (text.empty()) throw RuntimeError(err::FileNotFound);
    const auto [folderPart, namePart] = SplitLast(text);

    if (HasWildcard(namePart)) {
        if (HasWildcard(folderPart)) throw RuntimeError(err::FileNotFound);
        if (!folderPart.empty()) {
            std::wstring folder = ResolveFolder(path_, folderPart);
            if (folder.empty()) throw RuntimeError(err::FileNotFound);
            queries_.CheckFolder(folder);
            path_ = std::move(folder);
        }
        SetPattern(namePart);
        return;
    }
    if (HasWildcard(text)) throw RuntimeError(err::FileNotFound);

    if (folderPart.empty()) {
        if (const auto index = FindListed(text)) {
            selected_ = index;
            Repaint();
            return;
        }
    }

    // A folder, or a file in some folder.
    std::wstring target = ResolveFolder(path_, text);
    if (target.empty()) throw RuntimeError(err::FileNotFound);
    try {
        queries_.CheckFolder(target);
        MoveTo(std::move(target));
        return;
    } catch (const RuntimeError& error) {
        if (error.Number() != err::PathNotFound) throw;
    }

    if (folderPart.empty() || namePart.empty()) throw RuntimeError(err::FileNotFound);
    std::wstring folder = ResolveFolder(path_, folderPart);
    if (folder.empty()) throw RuntimeError(err::FileNotFound);
    try {
        queries_.CheckFolder(folder);
    } catch (const RuntimeError& error) {
        if (error.Number() == err::PathNotFound) throw RuntimeError(err::FileNotFound);
        throw;
    }
    if (!patterns_.Matches(namePart)) throw RuntimeError(err::FileNotFound);
    bool shown = false;
    // The system finds the name for us where it can; the names it finds are still compared.
    std::vector<std::wstring> system;
    if (auto pattern = SystemPattern(namePart, folder.size())) system.push_back(std::move(*pattern));
    const std::vector<std::wstring> filter = Filters(queries_, folder, std::move(system));
    // The name is bound by reference explicitly: not every C++20 compiler captures a structured binding.
    queries_.ListFiles(folder, filter, [&shown, &wanted = namePart](std::wstring_view name) {
        if (!shown && EqualNoCase(name, wanted)) shown = true;
    });
    if (!shown) throw RuntimeError(err::FileNotFound);
    MoveTo(std::move(folder));
    selected_ = FindListed(namePart);
    Repaint();
}

std::wstring_view FileList::Name(const Entry& entry) const {
    return std::wstring_view(pool_).substr(entry.offset, entry.length);
}

void FileList::EnsureListed() {
    if (!stale_) return;
    stale_ = false;
    // The system skips the names no pattern can match, which costs far less than handing each
    // over; what it finds by a short name, or by a reading of its own, is left out here.
    const std::vector<std::wstring> filters = Filters(queries_, path_, patterns_.SystemPatterns(path_.size()));
    try {
        queries_.ListFiles(path_, filters, [this](std::wstring_view name) {
            if (!patterns_.Matches(name)) return;
            if (pool_.size() + name.size() > std::numeric_limits<std::uint32_t>::max()) return;
            entries_.push_back(
                Entry{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(name.size())});
            pool_.append(name);
        });
    } catch (const RuntimeError&) {
        // The folder went away after it was written; it shows no names.
        pool_.clear();
        entries_.clear();
    }
    SortEntries();
    // A file found by several patterns came once for each. Only names spelt alike are one file:
    // the order is total, so they lie side by side, while names equal but for case may be two
    // files of a folder that tells case apart.
    if (filters.size() > 1) {
        const auto end = std::unique(entries_.begin(), entries_.end(),
                                     [this](const Entry& a, const Entry& b) { return Name(a) == Name(b); });
        entries_.erase(end, entries_.end());
    }
}

void FileList::SortEntries() {
    // The order of CompareNoCase, with every name folded once beforehand rather than at each of
    // the n log n comparisons: for a folder of 50,000 components that is most of the sort's time.
    // Folding keeps every character in its place, so each entry's offset and length hold in the
    // folded copy too, and folded texts compare as plain code units.
    std::wstring folded(pool_.size(), L'\0');
    std::transform(pool_.begin(), pool_.end(), folded.begin(), FoldChar);
    const std::wstring_view keys(folded);
    std::sort(entries_.begin(), entries_.end(), [this, keys](const Entry& a, const Entry& b) {
        const int order = keys.substr(a.offset, a.length).compare(keys.substr(b.offset, b.length));
        if (order != 0) return order < 0;
        return Name(a) < Name(b);
    });
}

std::optional<std::size_t> FileList::FindListed(std::wstring_view name) {
    EnsureListed();
    const auto first =
        std::lower_bound(entries_.begin(), entries_.end(), name, [this](const Entry& entry, std::wstring_view wanted) {
            return std::is_lt(CompareFolded(Name(entry), wanted));
        });
    std::optional<std::size_t> found;
    for (auto it = first; it != entries_.end() && std::is_eq(CompareFolded(name, Name(*it))); ++it) {
        const auto index = static_cast<std::size_t>(it - entries_.begin());
        if (Name(*it) == name) return index;  // the exact spelling wins where the case differs
        if (!found) found = index;
    }
    return found;
}

std::size_t FileList::ListCount() {
    EnsureListed();
    return entries_.size();
}

std::wstring_view FileList::List(std::size_t index) {
    EnsureListed();
    return index < entries_.size() ? Name(entries_[index]) : std::wstring_view();
}

void FileList::UserClick(std::size_t index) {
    EnsureListed();
    if (index >= entries_.size()) return;
    selected_ = index;
    Raise(EventId::Click);
}

void FileList::UserDblClick() {
    Raise(EventId::DblClick);
}

}  // namespace tervalux::rt
