#pragma once
// Form1, the program's one window: its controls, as the window description gives them, and its
// event handlers, bound by name. The file-picking handlers live in app/file_selection.
#include <cstdint>
#include <vector>

#include "platform/module1.h"
#include "platform/services.h"
#include "registration/command_context.h"
#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/drive_list.h"
#include "runtime/file_list.h"
#include "runtime/folder_list.h"
#include "runtime/form.h"
#include "runtime/start.h"
#include "runtime/text_box.h"

namespace tervalux::app {

class Form1 : public rt::FormCode, public Selection {
   public:
    // Looks up every control by name; a missing one is a load error.
    Form1(rt::Form& form, Services& services, Module1& module);

    rt::Form& Me() { return form_; }
    rt::DriveList& Drive() { return drive_; }
    rt::FolderList& Dir() { return dir_; }
    rt::FileList& File() { return file_; }
    rt::TextBox& txtarq() { return txtarq_; }
    rt::CheckBox& ChkDir() { return chkDir_; }
    rt::CommandButton& cmdReg() { return cmdReg_; }
    rt::CommandButton& CmdDes() { return cmdDes_; }
    rt::CommandButton& CmdSair() { return cmdSair_; }
    Services& services() { return services_; }
    Module1& module() { return module_; }

    // The twelve handled events.
    std::vector<rt::Binding> Bindings() override;

    void Form_Load();
    void Form_QueryUnload(std::int16_t& Cancel, std::int16_t& UnloadMode);
    void CmdSair_Click();
    void cmdReg_Click();
    void cmdReg_LostFocus();
    void CmdDes_Click();
    void CmdDes_LostFocus();

    // Selection: what the commands read, at the moment they read it.
    std::wstring FolderPath() override;
    std::wstring FileName() override;
    std::int32_t CheckBoxValue() override;

   private:
    CommandContext Context() { return CommandContext{services_, module_, *this, placedCopies_}; }

    rt::Form& form_;
    Services& services_;
    Module1& module_;
    rt::DriveList& drive_;
    rt::FolderList& dir_;
    rt::FileList& file_;
    rt::TextBox& txtarq_;
    rt::CheckBox& chkDir_;
    rt::CommandButton& cmdReg_;
    rt::CommandButton& cmdDes_;
    rt::CommandButton& cmdSair_;
    PlacedCopies placedCopies_;  // for the life of the window: the run's working copies
};

}  // namespace tervalux::app
