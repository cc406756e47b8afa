#include "runtime/text_box.h"

#include <utility>

namespace tervalux::rt {

namespace {
constexpr EventId kEvents[] = {EventId::KeyPress, EventId::Change, EventId::LostFocus};
}

TextBox::TextBox(std::wstring name, TwipsRect rect, std::int16_t tabIndex)
    : Control(std::move(name), Kind::TextBox, rect, tabIndex) {}

std::span<const EventId> TextBox::Events() const {
    return kEvents;
}

void TextBox::SetText(std::wstring text) {
    Change(std::move(text), true);
}

void TextBox::UserEdited(std::wstring text) {
    Change(std::move(text), false);
}

void TextBox::Change(std::wstring text, bool repaint) {
    // The view echoes a write back as an edit; an unchanged text raises nothing.
    if (text == text_) return;
    text_ = std::move(text);
    if (repaint) Repaint();
    Raise(EventId::Change);
}

void TextBox::UserKeyPress(std::int16_t& keyAscii) {
    EventArgs args;
    args.keyAscii = &keyAscii;
    Raise(EventId::KeyPress, args);
}

}  // namespace tervalux::rt
