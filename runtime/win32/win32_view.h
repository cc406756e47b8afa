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

    // The model this view shows.
    virtual Control& Model() = 0;

   protected:
    HWND hwnd_ = nullptr;
};

}  // namespace tervalux::rt::win32
