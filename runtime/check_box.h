#pragma once
// A check box: a caption and a Value of 0 (clear), 1 (ticked) or 2 (grayed). A change of Value,
// by the user or by code, raises Click at once.
#include <string>

#include "runtime/control.h"

namespace tervalux::rt {

class CheckBox : public Control {
   public:
    static constexpr std::int16_t Unchecked = 0;
    static constexpr std::int16_t Checked = 1;
    static constexpr std::int16_t Grayed = 2;

    CheckBox(std::wstring name, TwipsRect rect, std::int16_t tabIndex, std::wstring caption);

    const std::wstring& Caption() const { return caption_; }

    std::int16_t Value() const { return value_; }
    // Any value other than 0, 1 and 2 throws runtime error 5 and leaves the box as it was.
    void SetValue(std::int16_t value);

    std::span<const EventId> Events() const override;

    // The user clicked the box (mouse, space bar): a ticked box clears, any other becomes ticked.
    void UserClick();

   private:
    std::wstring caption_;
    std::int16_t value_ = Unchecked;
};

}  // namespace tervalux::rt
