#include "runtime/win32/win32_view.h"

#include "platform/runtime_error.h"
#include "runtime/win32/window_barrier.h"

namespace tervalux::rt::win32 {

Win32View::~Win32View() {
    // A procedure put in front of ours by someone else would go on calling ours, which needs
    // this view: the child cannot outlive it then.
    if (hwnd_ != nullptr && baseProc_ != nullptr && IsWindow(hwnd_) && !Unhook()) DestroyWindow(hwnd_);
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
    // The user data first: from the moment ViewProc is in place it finds the view there.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    baseProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32View::ViewProc)));
    if (baseProc_ == nullptr) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        throw RuntimeError(err::OutOfMemory);
    }
    if (place.font != nullptr) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(place.font), FALSE);
}

bool Win32View::Unhook() noexcept {
    if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Win32View::ViewProc)) return false;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    baseProc_ = nullptr;
    return true;
}

LRESULT CALLBACK Win32View::ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<Win32View*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Never without its view: the child is given its own procedure back before the view goes.
    if (view == nullptr || view->hwnd_ != hwnd || view->baseProc_ == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const WNDPROC base = view->baseProc_;
    const auto pass = [&] { return CallWindowProcW(base, hwnd, message, wParam, lParam); };
    if (message == WM_NCDESTROY) {
        view->Unhook();
        return pass();
    }
    if (view->listener_ != nullptr) view->listener_->OnChildMessage(*view, message, wParam, lParam);
    const auto own = [&]() -> LRESULT {
        LRESULT result = 0;
        if (view->OnOwnMessage(message, wParam, lParam, result)) return result;
        return pass();
    };
    return Guarded(own, pass);
}

}  // namespace tervalux::rt::win32
