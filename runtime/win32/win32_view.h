#pragma once
// A Win32 child window that mirrors one control model. The form window creates one per control,
// in tab-index order, and reflects to it the notifications its child sends the form (WM_COMMAND,
// WM_DRAWITEM); it finds the view from the child's handle.
#include <windows.h>

#include <functional>
#include <string>

#include "runtime/control.h"

namespace tervalux::rt::win32 {

// Where a view goes: its parent, its pixel rectangle in the parent's client area, its child id.
struct ViewPlace {
    HWND parent = nullptr;
    RECT pixels{};
    int id = 0;
    HFONT font = nullptr;
    int dpi = 96;  // the form's, for what a view sizes itself (its icons)
};

class Win32View : public ControlView {
   public:
    // Hears every message of a view's child before the view and the child do (the form window,
    // which follows the focus from control to control). Must not throw.
    class Listener {
       public:
        virtual void OnChildMessage(Win32View& view, UINT message, WPARAM wParam, LPARAM lParam) noexcept = 0;

       protected:
        ~Listener() = default;
    };

    Win32View() = default;
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    HWND Handle() const { return hwnd_; }

    void Listen(Listener* listener) { listener_ = listener; }

    // WM_COMMAND notification from this child (BN_CLICKED, LBN_SELCHANGE, CBN_SELCHANGE...).
    virtual void OnCommand(WORD notifyCode) { (void)notifyCode; }

    // WM_DRAWITEM for this child, reflected by the parent; true when the view drew the item.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) {
        (void)item;
        return false;
    }

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

    // The form moved to a monitor with another DPI; called before the new font and place come.
    virtual void SetDpi(int dpi) { dpi_ = dpi; }

    // The model this view shows.
    virtual Control& Model() = 0;

    // A user's gesture on this control, the one way every view hands one to its model. The model
    // raises its events through the form, whose dispatch gives a handler's untrapped error the
    // default handling; what still comes here is the control's own refusal, such as a folder that
    // has gone since it was listed, and that only beeps.
    static void Act(const std::function<void()>& action);

   protected:
    // Makes this view's child: visible, a tab stop, at its place with the form's font, its
    // messages passing through ViewProc. Throws 7 when it cannot be made.
    void CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                     const ViewPlace& place);

    // What the child does with a message by itself: its own window procedure, past ours.
    LRESULT CallBase(UINT message, WPARAM wParam, LPARAM lParam) const {
        return CallWindowProcW(baseProc_, hwnd_, message, wParam, lParam);
    }

    // A message to the child itself (after the listener has heard it); true when handled, with
    // the result in `result`. Otherwise, or when it throws, the child handles the message as it
    // would.
    virtual bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        (void)message;
        (void)wParam;
        (void)lParam;
        (void)result;
        return false;
    }

    HWND hwnd_ = nullptr;
    int dpi_ = 96;

   private:
    // The child's window procedure in front of its own, found through the child's user data.
    // Not the common controls' subclass calls: under Wine those ask the server for a window
    // property on every message a child gets, a cost the program's start would carry.
    static LRESULT CALLBACK ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Gives the child its own procedure back; true when it had ours on top.
    bool Unhook() noexcept;

    WNDPROC baseProc_ = nullptr;
    Listener* listener_ = nullptr;
};

}  // namespace tervalux::rt::win32
