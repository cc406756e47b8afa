#pragma once
// The form's window: a top-level frame sized and placed from the description, with one child
// view per control created in tab-index order (so the z-order is the tab order that the dialog
// keys of the message loop follow). It is the form's host: unloading the form destroys the
// window, and the message loop ends the process when it is gone. The children's notifications
// (WM_COMMAND, WM_DRAWITEM) are reflected to the view of the child that sent them. No exception
// ever leaves a window procedure (window_barrier.h): whatever escapes goes to the form's default
// error handling.
#include <windows.h>

#include <memory>
#include <vector>

#include "runtime/form.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

class FormWindow : public FormHost, private Win32View::Listener {
   public:
    FormWindow();
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the hidden window and its views for a built form.
    void Create(Form& form);
    // Shows the window and puts the focus on the control with the lowest tab index.
    void Show();
    // Runs the events until the window is gone, then ends the process.
    [[noreturn]] void RunUntilUnloaded();

    HWND Handle() const { return hwnd_; }

    // FormHost
    void Unloaded() override;
    [[noreturn]] void EndProgram() override;

   private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Win32View::Listener: the focus as it moves between the controls.
    void OnChildMessage(Win32View& view, UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void CreateViews();
    // The window's icons, from the description or else from the program's resources.
    void LoadIcons();
    void ChangeDpi(int dpiX, int dpiY, const RECT& suggested);
    // The view of a child of this form, or of a window inside one (a combo box's own parts).
    Win32View* ViewOf(HWND hwnd) const;

    Form* form_ = nullptr;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    bool ownFont_ = false;  // made here (not the stock font)
    int dpiX_ = 96;
    int dpiY_ = 96;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool classIcons_ = false;  // the icons are the window class's, kept for the life of the process
    HWND lastFocus_ = nullptr;
    std::vector<std::unique_ptr<Win32View>> views_;  // in tab-index order
};

}  // namespace tervalux::rt::win32
