#pragma once
// The folder list: the path from the drive's root down to the current folder, one entry per step,
// followed by the current folder's subfolders, sorted without regard to case.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_queries.h"
#include "runtime/control.h"

namespace tervalux::rt {

class FolderList : public Control {
   public:
    struct Item {
        std::wstring name;  // the root as "c:\", any other folder by its bare name
        std::size_t level;  // 0 for the root
        bool open;          // on the path down to the current folder (the current one included)
    };

    // Shows nothing until a path is written.
    FolderList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries);

    std::span<const EventId> Events() const override;

    // Full path of the current folder; a drive root ends in "\", other folders do not. Empty
    // until the first write.
    const std::wstring& Path() const { return path_; }

    // Moves to the folder that the text names (a full path, or one relative to the current folder)
    // and raises Change, even when the folder is the current one. A drive that is not ready throws
    // 68 or 71, a missing folder 76, a text that names no folder 76; the list is then unchanged.
    void SetPath(const std::wstring& text);

    // For the view.
    const std::vector<Item>& Items() const { return items_; }
    // Index of the current folder's entry (the last open one).
    std::size_t CurrentIndex() const { return current_; }
    // Full path of an entry.
    std::wstring ItemPath(std::size_t index) const;

    // The user opened an entry (double click, Enter): the same as writing its path.
    void UserOpen(std::size_t index);
    // The user moved the highlight to an entry without opening it.
    void UserSelect(std::size_t index);

   private:
    FileQueries& queries_;
    std::wstring path_;
    std::vector<Item> items_;
    std::size_t current_ = 0;
};

}  // namespace tervalux::rt
