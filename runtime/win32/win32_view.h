#pragma once
// A Win32 child window that mirrors one control model. The form window creates one per control,
// in tab-index order, and forwards the child's notifications to it.
#include <windows.h>

#include "runtime/control.h"

namespace tervalux::rt::win32 {

class Win32View : public ControlView {
   public:
    ~Win32View() override = default;

    HWND Handle() const { return hwnd_; }

    // WM_COMMAND notification from this child (BN_CLICKED, LBN_SELCHANGE, CBN_SELCHANGE...).
    virtual void OnCommand(WORD notifyCode) { (void)notifyCode; }

    // A view that follows its model through a posted message is brought in step at once: the
    // window calls this before it is first shown, so that it opens with its contents painted
    // once rather than empty and then again.
    virtual void CatchUp() {}

    // Moves and sizes the view to its stored rectangle, in the parent's client pixels (the form
    // calls it again after a change of DPI, with the new font already set).
    virtual void Place(const RECT& pixels) {
        SetWindowPos(hwnd_, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The model this view shows.
    virtual Control& Model() = 0;

   protected:
    HWND hwnd_ = nullptr;
};

}  // namespace tervalux::rt::win32
