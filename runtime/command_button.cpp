#include "runtime/command_button.h"

#include <utility>

namespace tervalux::rt {

namespace {
constexpr EventId kEvents[] = {EventId::Click, EventId::LostFocus};
}

CommandButton::CommandButton(std::wstring name, TwipsRect rect, std::int16_t tabIndex, std::wstring caption)
    : Control(std::move(name), Kind::CommandButton, rect, tabIndex), caption_(std::move(caption)) {}

std::span<const EventId> CommandButton::Events() const {
    return kEvents;
}

}  // namespace tervalux::rt
