#pragma once
// The drive list: every drive of the system, one selected. Its text is the drive letter in lower
// case, a colon, and the label or network name in brackets where there is one ("c: [sistema]").
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_queries.h"
#include "runtime/control.h"

namespace tervalux::rt {

class DriveList : public Control {
   public:
    // Reads the drives and selects the current drive (the first drive when that is none of them).
    DriveList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries);

    std::span<const EventId> Events() const override;

    // Text of the selected drive; empty when the system lists none.
    std::wstring Drive() const;

    // Selects the drive that the text's first letter names (any case; the rest of the text is not
    // read) and raises Change when that moves the selection. A letter that names no drive, even
    // after reading the drives again, throws 68.
    void SetDrive(const std::wstring& text);

    // Reads the drives again; the selection stays on its letter while that drive is listed.
    void Refresh();

    // For the view.
    std::size_t ListCount() const { return drives_.size(); }
    std::wstring List(std::size_t index) const;
    std::optional<std::size_t> ListIndex() const { return selected_; }
    // The kind of drive entry `index` is, for its icon; Unknown past the end.
    DriveKind ListKind(std::size_t index) const {
        return index < drives_.size() ? drives_[index].kind : DriveKind::Unknown;
    }

    // The user picked an entry; raises Change when the selection moved.
    void UserSelect(std::size_t index);

   private:
    std::optional<std::size_t> Find(wchar_t letter) const;
    void Select(std::size_t index);

    FileQueries& queries_;
    std::vector<DriveEntry> drives_;
    std::optional<std::size_t> selected_;
};

// The text a drive list shows for one drive.
std::wstring DriveText(const DriveEntry& drive);

}  // namespace tervalux::rt
