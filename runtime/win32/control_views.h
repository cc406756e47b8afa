#pragma once
// The Win32 views of the text box, the check box and the command button. Each is a standard
// child window of the form window (see form_window.h), which reflects its notifications here;
// user actions reach the model through Win32View::Act, as those of every other view do.
#include <windows.h>

#include <memory>

#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/form.h"
#include "runtime/text_box.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

class ButtonView : public Win32View {
   public:
    ButtonView(CommandButton& model, const ViewPlace& place);
    void Refresh() override {}
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   private:
    CommandButton& model_;
};

class CheckBoxView : public Win32View {
   public:
    CheckBoxView(CheckBox& model, const ViewPlace& place);
    void Refresh() override;
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   private:
    CheckBox& model_;
};

class TextBoxView : public Win32View {
   public:
    // The form tells whether a KeyPress handler ended the program.
    TextBoxView(TextBox& model, const Form& form, const ViewPlace& place);
    void Refresh() override;
    void OnCommand(WORD notifyCode) override;
    Control& Model() override { return model_; }

   protected:
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

   private:
    std::wstring Shown() const;

    TextBox& model_;
    const Form& form_;
};

}  // namespace tervalux::rt::win32
