#include "runtime/folder_list.h"

#include <algorithm>
#include <compare>

#include "platform/paths.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace tervalux::rt {

namespace {
constexpr EventId kEvents[] = {EventId::Change, EventId::Click, EventId::LostFocus};
}

FolderList::FolderList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries)
    : Control(std::move(name), Kind::FolderList, rect, tabIndex), queries_(queries) {}

std::span<const EventId> FolderList::Events() const {
    return kEvents;
}

void FolderList::SetPath(const std::wstring& text) {
    const std::wstring folder = ResolveFolder(path_, text);
    if (folder.empty()) throw RuntimeError(err::PathNotFound);
    queries_.CheckFolder(folder);
    std::vector<std::wstring> subfolders = queries_.ListFolders(folder);
    std::sort(subfolders.begin(), subfolders.end(),
              [](const std::wstring& a, const std::wstring& b) { return std::is_lt(CompareNoCase(a, b)); });

    std::vector<Item> items;
    const std::vector<std::wstring> steps = PathSteps(folder);
    for (std::size_t level = 0; level < steps.size(); ++level) items.push_back(Item{steps[level], level, true});
    for (std::wstring& name : subfolders) items.push_back(Item{std::move(name), steps.size(), false});

    path_ = folder;
    items_ = std::move(items);
    current_ = steps.size() - 1;
    Repaint();
    Raise(EventId::Change);
}

std::wstring FolderList::ItemPath(std::size_t index) const {
    if (index >= items_.size()) return {};
    std::wstring path = items_[0].name;
    // Open entries are the path itself; a subfolder hangs below the current folder.
    const std::size_t last = items_[index].open ? index : current_;
    for (std::size_t i = 1; i <= last; ++i) path = JoinPath(path, items_[i].name);
    if (!items_[index].open) path = JoinPath(path, items_[index].name);
    return path;
}

void FolderList::UserOpen(std::size_t index) {
    if (index < items_.size()) SetPath(ItemPath(index));
}

void FolderList::UserSelect(std::size_t index) {
    if (index < items_.size()) Raise(EventId::Click);
}

}  // namespace tervalux::rt
