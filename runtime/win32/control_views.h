#pragma once
// The Win32 views of the text box, the check box and the command button. Each is a standard
// child window subclassed by the form window (see form_window.h); user actions reach the model
// through the form's outermost dispatch, so an untrapped error gets the default handling.
#include <windows.h>

#include <memory>

#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/form.h"
#include "runtime/text_box.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

// Where a view goes: its parent, its pixel rectangle in the parent's client area, its child id.
struct ViewPlace {
    HWND parent = nullptr;
    RECT pixels{};
    int id = 0;
    HFONT font = nullptr;
};

class ButtonView : public Win32View {
   public:
    ButtonView(CommandButton& model, Form& form, const ViewPlace& place);
    void Refresh() override {}
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   private:
    CommandButton& model_;
    Form& form_;
};

class CheckBoxView : public Win32View {
   public:
    CheckBoxView(CheckBox& model, Form& form, const ViewPlace& place);
    void Refresh() override;
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   private:
    CheckBox& model_;
    Form& form_;
};

class TextBoxView : public Win32View {
   public:
    TextBoxView(TextBox& model, Form& form, const ViewPlace& place);
    ~TextBoxView() override;
    void Refresh() override;
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::wstring Shown() const;

    TextBox& model_;
    Form& form_;
};

// A standard child window with the common styles: visible, a tab stop, the form's font.
HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                 const ViewPlace& place);

}  // namespace tervalux::rt::win32
