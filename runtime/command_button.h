#pragma once
// A push button: a caption and a Click when the user presses it.
#include <string>

#include "runtime/control.h"

namespace tervalux::rt {

class CommandButton : public Control {
   public:
    CommandButton(std::wstring name, TwipsRect rect, std::int16_t tabIndex, std::wstring caption);

    const std::wstring& Caption() const { return caption_; }

    std::span<const EventId> Events() const override;

    // The user pressed the button (mouse, space bar).
    void UserClick() { Raise(EventId::Click); }

   private:
    std::wstring caption_;
};

}  // namespace tervalux::rt
