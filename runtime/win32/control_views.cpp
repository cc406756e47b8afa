#include "runtime/win32/control_views.h"

#include <commctrl.h>

#include <string>

namespace tervalux::rt::win32 {

namespace {
constexpr UINT_PTR kTextBoxSubclassId = 0x7458;  // any id unique to this subclass
}

HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                 const ViewPlace& place) {
    HWND hwnd = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, place.pixels.left,
        place.pixels.top, place.pixels.right - place.pixels.left, place.pixels.bottom - place.pixels.top, place.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw RuntimeError(err::OutOfMemory);
    if (place.font != nullptr) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(place.font), FALSE);
    return hwnd;
}

// Never the default push button: Enter presses nothing.
ButtonView::ButtonView(CommandButton& model, Form& form, const ViewPlace& place) : model_(model), form_(form) {
    hwnd_ = CreateChild(L"BUTTON", model.Caption(), BS_PUSHBUTTON, 0, place);
    model.AttachView(this);
}

void ButtonView::OnCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) form_.Dispatch([this] { model_.UserClick(); });
}

// Not an automatic box: the model decides the value and the view mirrors it.
CheckBoxView::CheckBoxView(CheckBox& model, Form& form, const ViewPlace& place) : model_(model), form_(form) {
    hwnd_ = CreateChild(L"BUTTON", model.Caption(), BS_3STATE | BS_MULTILINE, 0, place);
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
    if (notifyCode == BN_CLICKED) form_.Dispatch([this] { model_.UserClick(); });
}

TextBoxView::TextBoxView(TextBox& model, Form& form, const ViewPlace& place) : model_(model), form_(form) {
    hwnd_ = CreateChild(L"EDIT", model.Text(), ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, place);
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit of its own
    SetWindowSubclass(hwnd_, &TextBoxView::Subclass, kTextBoxSubclassId, reinterpret_cast<DWORD_PTR>(this));
    model.AttachView(this);
}

TextBoxView::~TextBoxView() {
    if (IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &TextBoxView::Subclass, kTextBoxSubclassId);
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
    if (notifyCode == EN_CHANGE) form_.Dispatch([this] { model_.UserEdited(Shown()); });
}

LRESULT CALLBACK TextBoxView::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    try {
        return reinterpret_cast<TextBoxView*>(self)->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        reinterpret_cast<TextBoxView*>(self)->form_.ReportUntrapped();
        return 0;
    }
}

LRESULT TextBoxView::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // The dialog keys of the message loop would turn Enter into a press of a default
            // button that does not exist; the box takes Enter itself, for its KeyPress.
            LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->wParam == VK_RETURN && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
                code |= DLGC_WANTALLKEYS;
            }
            return code;
        }
        case WM_CHAR: {
            auto keyAscii = static_cast<std::int16_t>(wParam & 0xFFFF);
            form_.Dispatch([&] { model_.UserKeyPress(keyAscii); });
            // A handler that set the code to 0 dropped the key; any other goes on to the box.
            if (form_.Ended() || keyAscii == 0 || !IsWindow(hwnd)) return 0;
            return DefSubclassProc(hwnd, message, static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lParam);
        }
        default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tervalux::rt::win32
