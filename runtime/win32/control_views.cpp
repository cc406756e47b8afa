#include "runtime/win32/control_views.h"

#include <string>

namespace tervalux::rt::win32 {

// Never the default push button: Enter presses nothing.
ButtonView::ButtonView(CommandButton& model, const ViewPlace& place) : model_(model) {
    CreateChild(L"BUTTON", model.Caption(), BS_PUSHBUTTON, 0, place);
    model.AttachView(this);
}

void ButtonView::OnCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) Act([this] { model_.UserClick(); });
}

// Not an automatic box: the model decides the value and the view mirrors it.
CheckBoxView::CheckBoxView(CheckBox& model, const ViewPlace& place) : model_(model) {
    CreateChild(L"BUTTON", model.Caption(), BS_3STATE | BS_MULTILINE, 0, place);
    model.AttachView(this);
    Refresh();
}

void CheckBoxView::Refresh() {
    const WPARAM state = model_.Value() == CheckBox::Checked  ? BST_CHECKED
                         : model_.Value() == CheckBox::Grayed ? BST_INDETERMINATE
                                                              : BST_UNCHECKED;
    SendMessageW(hwnd_, BM_SETCHECK, state, 0);
}

void CheckBoxView::OnCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) Act([this] { model_.UserClick(); });
}

TextBoxView::TextBoxView(TextBox& model, const Form& form, const ViewPlace& place) : model_(model), form_(form) {
    CreateChild(L"EDIT", model.Text(), ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, place);
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit of its own
    model.AttachView(this);
}

std::wstring TextBoxView::Shown() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void TextBoxView::Refresh() {
    if (Shown() != model_.Text()) SetWindowTextW(hwnd_, model_.Text().c_str());
}

void TextBoxView::OnCommand(WORD notifyCode) {
    if (notifyCode == EN_CHANGE) Act([this] { model_.UserEdited(Shown()); });
}

bool TextBoxView::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_GETDLGCODE: {
            // The dialog keys of the message loop would turn Enter into a press of a default
            // button that does not exist; the box takes Enter itself, for its KeyPress.
            result = CallBase(message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->wParam == VK_RETURN && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
                result |= DLGC_WANTALLKEYS;
            }
            return true;
        }
        case WM_CHAR: {
            auto keyAscii = static_cast<std::int16_t>(wParam & 0xFFFF);
            const HWND hwnd = hwnd_;
            Act([&] { model_.UserKeyPress(keyAscii); });
            // A handler that set the code to 0 dropped the key; any other goes on to the box.
            if (form_.Ended() || keyAscii == 0 || !IsWindow(hwnd)) {
                result = 0;
            } else {
                result = CallBase(message, static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lParam);
            }
            return true;
        }
        default: return false;
    }
}

}  // namespace tervalux::rt::win32
