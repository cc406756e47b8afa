#include "runtime/drive_list.h"

#include "platform/runtime_error.h"
#include "platform/text.h"

namespace tervalux::rt {

namespace {
constexpr EventId kEvents[] = {EventId::Change, EventId::LostFocus};
}

std::wstring DriveText(const DriveEntry& drive) {
    std::wstring text;
    text.push_back(drive.letter >= L'A' && drive.letter <= L'Z' ? static_cast<wchar_t>(drive.letter + (L'a' - L'A'))
                                                                : drive.letter);
    text.push_back(L':');
    if (!drive.label.empty()) text += L" [" + drive.label + L"]";
    return text;
}

DriveList::DriveList(std::wstring name, TwipsRect rect, std::int16_t tabIndex, FileQueries& queries)
    : Control(std::move(name), Kind::DriveList, rect, tabIndex), queries_(queries), drives_(queries.ListDrives()) {
    if (drives_.empty()) return;
    selected_ = Find(queries_.CurrentDrive()).value_or(0);
}

std::span<const EventId> DriveList::Events() const {
    return kEvents;
}

std::wstring DriveList::Drive() const {
    return selected_ ? DriveText(drives_[*selected_]) : std::wstring();
}

std::wstring DriveList::List(std::size_t index) const {
    return index < drives_.size() ? DriveText(drives_[index]) : std::wstring();
}

std::optional<std::size_t> DriveList::Find(wchar_t letter) const {
    const wchar_t wanted = FoldChar(letter);
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        if (FoldChar(drives_[i].letter) == wanted) return i;
    }
    return std::nullopt;
}

void DriveList::SetDrive(const std::wstring& text) {
    if (text.empty()) throw RuntimeError(err::DeviceUnavailable);
    auto found = Find(text[0]);
    if (!found) {
        // A drive may have come since the list was read (a mapped network drive, a USB stick).
        Refresh();
        found = Find(text[0]);
    }
    if (!found) throw RuntimeError(err::DeviceUnavailable);
    Select(*found);
}

void DriveList::Refresh() {
    const std::optional<wchar_t> letter = selected_ ? std::optional<wchar_t>(drives_[*selected_].letter) : std::nullopt;
    drives_ = queries_.ListDrives();
    selected_ = letter ? Find(*letter) : std::nullopt;
    if (!selected_ && !drives_.empty()) selected_ = 0;
    Repaint();
}

void DriveList::UserSelect(std::size_t index) {
    if (index < drives_.size()) Select(index);
}

void DriveList::Select(std::size_t index) {
    if (selected_ == index) return;
    selected_ = index;
    Repaint();
    Raise(EventId::Change);
}

}  // namespace tervalux::rt
