#pragma once
// A one-line text box with no length limit. A change of Text, typed or written by code, raises
// Change; every character key raises KeyPress first, with its code by reference.
#include <string>

#include "runtime/control.h"

namespace tervalux::rt {

class TextBox : public Control {
   public:
    TextBox(std::wstring name, TwipsRect rect, std::int16_t tabIndex);

    const std::wstring& Text() const { return text_; }
    void SetText(std::wstring text);

    std::span<const EventId> Events() const override;

    // A character key reached the box. A handler may change the code; 0 means the key is dropped.
    void UserKeyPress(std::int16_t& keyAscii);

    // The user's editing changed the text shown (the view reports what it now shows).
    void UserEdited(std::wstring text);

   private:
    void Change(std::wstring text, bool repaint);
    std::wstring text_;
};

}  // namespace tervalux::rt
