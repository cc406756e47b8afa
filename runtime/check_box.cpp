#include "runtime/check_box.h"

#include <utility>

#include "platform/runtime_error.h"

namespace tervalux::rt {

namespace {
constexpr EventId kEvents[] = {EventId::Click, EventId::LostFocus};
}

CheckBox::CheckBox(std::wstring name, TwipsRect rect, std::int16_t tabIndex, std::wstring caption)
    : Control(std::move(name), Kind::CheckBox, rect, tabIndex), caption_(std::move(caption)) {}

std::span<const EventId> CheckBox::Events() const {
    return kEvents;
}

void CheckBox::SetValue(std::int16_t value) {
    if (value != Unchecked && value != Checked && value != Grayed) throw RuntimeError(err::InvalidCall);
    if (value == value_) return;
    value_ = value;
    Repaint();
    Raise(EventId::Click);
}

void CheckBox::UserClick() {
    SetValue(value_ == Checked ? Unchecked : Checked);
}

}  // namespace tervalux::rt
