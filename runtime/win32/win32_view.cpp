#include "runtime/win32/win32_view.h"

#include <commctrl.h>

#include "platform/runtime_error.h"
#include "runtime/win32/window_barrier.h"

namespace tervalux::rt::win32 {

Win32View::~Win32View() {
    if (subclassed_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &Win32View::ViewProc, SubclassId());
}

void Win32View::Act(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        MessageBeep(MB_OK);
    }
}

void Win32View::CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                            const ViewPlace& place) {
    dpi_ = place.dpi;
    hwnd_ = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, place.pixels.left,
        place.pixels.top, place.pixels.right - place.pixels.left, place.pixels.bottom - place.pixels.top, place.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) throw RuntimeError(err::OutOfMemory);
    if (place.font != nullptr) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(place.font), FALSE);
}

void Win32View::Subclass() {
    subclassed_ =
        SetWindowSubclass(hwnd_, &Win32View::ViewProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT CALLBACK Win32View::ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    const auto own = [&]() -> LRESULT {
        LRESULT result = 0;
        if (reinterpret_cast<Win32View*>(self)->OnOwnMessage(message, wParam, lParam, result)) return result;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    };
    return Guarded(own, [&] { return DefSubclassProc(hwnd, message, wParam, lParam); });
}

}  // namespace tervalux::rt::win32
