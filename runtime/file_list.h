#pragma once
// The file list: the files of one folder whose names match the pattern, sorted without regard to
// case, hidden and system files left out. The names are held here once, packed in one buffer; a
// view draws them from here and keeps no copy.
//
// A write that moves the list or changes its pattern does not read the folder at once: it is read
// when the names are next needed (a lookup, a count, a paint). A folder change writes the folder
// and then the pattern, and this way a large folder is read once, not twice.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_queries.h"
#include "platform/wildcards.h"
#include "runtime/control.h"

namespace tervalux::rt {

class FileList : public Control {
   public:
    // Shows nothing until a folder is written; the pattern starts as "*.*".
    FileList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries);

    std::span<const EventId> Events() const override;

    // Full path of the folder shown; a drive root ends in "\", other folders do not.
    const std::wstring& Path() const { return path_; }

    // Moves the list to the folder that the text names (full, or relative to Path) and clears the
    // selection. A drive that is not ready throws 68 or 71, a missing folder 76.
    void SetPath(const std::wstring& text);

    const std::wstring& Pattern() const { return pattern_; }
    // Patterns separated by ";"; clears the selection.
    void SetPattern(const std::wstring& text);

    // Bare name of the selected file; empty when none is selected.
    std::wstring FileName() const;

    // A folder's path moves the list there (as SetPath). The name of a listed file selects it. A
    // text with "*" or "?" sets the pattern, and moves the list first when it begins with a folder
    // ("c:\x\*.dll"). A path to a file that the list would show in another folder moves there and
    // selects it. Anything else throws 53 and changes nothing; a drive that is not ready throws as
    // SetPath.
    void SetFileName(const std::wstring& text);

    // For the view. Reading these reads the folder when a write left it unread; a folder that
    // can no longer be read then shows no names.
    std::size_t ListCount();
    std::wstring_view List(std::size_t index);
    std::optional<std::size_t> ListIndex() const { return selected_; }
    // Changes each time the names may have changed (not for a change of selection alone).
    std::uint64_t Generation() const { return generation_; }

    // The user selected an entry (click, or arrow keys): raises Click.
    void UserClick(std::size_t index);
    // The user double-clicked the selected entry: raises DblClick.
    void UserDblClick();

   private:
    struct Entry {
        std::uint32_t offset;
        std::uint32_t length;
    };

    void MoveTo(std::wstring folder);
    void Invalidate();
    void EnsureListed();
    std::wstring_view Name(const Entry& entry) const;
    void SortEntries();
    std::optional<std::size_t> FindListed(std::wstring_view name);

    FileQueries& queries_;
    std::wstring path_;
    std::wstring pattern_ = L"*.*";
    PatternSet patterns_{L"*.*"};
    bool stale_ = false;
    std::wstring pool_;
    std::vector<Entry> entries_;
    std::optional<std::size_t> selected_;
    std::uint64_t generation_ = 0;
};

}  // namespace tervalux::rt
