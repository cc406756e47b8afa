#pragma once
// Reading the program's controls from this process the standard way, as a screen reader or a UI
// automation script reads them: LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT for a list box,
// CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT for a combo box. Every message has a time limit, so
// that a program that stops answering fails the test rather than holding it.
#include <windows.h>

#include <string>
#include <vector>

namespace tervalux::win32::testing {

using Texts = std::vector<std::wstring>;

// A message to a window of the program; -2 when it is not answered within ten seconds.
inline LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = static_cast<DWORD_PTR>(-2);
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

// Every item's text as the control hands it out; an item whose length and text disagree shows
// as such, so that a mismatch reads plainly in the failure.
inline Texts ItemTexts(HWND control, UINT getCount, UINT getLength, UINT getText) {
    Texts texts;
    const LRESULT count = Ask(control, getCount);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        const LRESULT length = Ask(control, getLength, index);
        if (length < 0) {
            texts.push_back(L"<no length: " + std::to_wstring(length) + L">");
            continue;
        }
        // Room beyond the length: an item without a string is copied as a pointer-sized value.
        std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 16, L'\0');
        const LRESULT copied = Ask(control, getText, index, reinterpret_cast<LPARAM>(buffer.data()));
        std::wstring text(buffer.data());
        if (copied != length || text.size() != static_cast<std::size_t>(length)) {
            text += L" <length " + std::to_wstring(length) + L", copied " + std::to_wstring(copied) + L">";
        }
        texts.push_back(text);
    }
    return texts;
}

inline Texts ListBoxTexts(HWND list) {
    return ItemTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}
inline Texts ComboTexts(HWND combo) {
    return ItemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

}  // namespace tervalux::win32::testing
