#include "app/form1.h"

#include "app/file_selection.h"
#include "registration/commands.h"
#include "runtime/traps.h"

namespace tervalux::app {

Form1::Form1(rt::Form& form, Services& services, Module1& module)
    : form_(form),
      services_(services),
      module_(module),
      drive_(form.Get<rt::DriveList>(L"Drive")),
      dir_(form.Get<rt::FolderList>(L"Dir")),
      file_(form.Get<rt::FileList>(L"File")),
      txtarq_(form.Get<rt::TextBox>(L"txtarq")),
      chkDir_(form.Get<rt::CheckBox>(L"ChkDir")),
      cmdReg_(form.Get<rt::CommandButton>(L"cmdReg")),
      cmdDes_(form.Get<rt::CommandButton>(L"CmdDes")),
      cmdSair_(form.Get<rt::CommandButton>(L"CmdSair")) {}

std::vector<rt::Binding> Form1::Bindings() {
    return {
        {L"Form_Load", [this](rt::EventArgs&) { Form_Load(); }},
        {L"Form_QueryUnload", [this](rt::EventArgs& args) { Form_QueryUnload(*args.cancel, *args.unloadMode); }},
        {L"CmdSair_Click", [this](rt::EventArgs&) { CmdSair_Click(); }},
        {L"cmdReg_Click", [this](rt::EventArgs&) { cmdReg_Click(); }},
        {L"cmdReg_LostFocus", [this](rt::EventArgs&) { cmdReg_LostFocus(); }},
        {L"CmdDes_Click", [this](rt::EventArgs&) { CmdDes_Click(); }},
        {L"CmdDes_LostFocus", [this](rt::EventArgs&) { CmdDes_LostFocus(); }},
        {L"Drive_Change", [this](rt::EventArgs&) { Drive_Change(*this); }},
        {L"Dir_Change", [this](rt::EventArgs&) { Dir_Change(*this); }},
        {L"File_Click", [this](rt::EventArgs&) { File_Click(*this); }},
        {L"File_DblClick", [this](rt::EventArgs&) { File_DblClick(*this); }},
        {L"txtarq_KeyPress", [this](rt::EventArgs& args) { txtarq_KeyPress(*this, *args.keyAscii); }},
    };
}

// No trap: a folder or drive that cannot be set ends the program before the window shows.
void Form1::Form_Load() {
    Dir().SetPath(L"c:\\");
    Drive().SetDrive(L"c");
    ChkDir().SetValue(rt::CheckBox::Checked);
}

// Never refuses: Cancel and UnloadMode are left alone, and every error of the delete is ignored.
// Every copy the run placed goes, not only the one in the folder shown: the program keeps no files
// of its own between runs.
void Form1::Form_QueryUnload(std::int16_t& Cancel, std::int16_t& UnloadMode) {
    (void)Cancel;
    (void)UnloadMode;
    rt::IgnoreErrors([&] {
        auto context = Context();
        DeletePlacedCopies(context);
    });
}

void Form1::CmdSair_Click() {
    Me().Unload(rt::UnloadMode::Code);
}

// The commands meet their own errors.
void Form1::cmdReg_Click() {
    auto context = Context();
    RegisterComponent(context);
}

void Form1::CmdDes_Click() {
    auto context = Context();
    UnregisterComponent(context);
}

void Form1::cmdReg_LostFocus() {
    rt::IgnoreErrors([&] {
        auto context = Context();
        DeleteWorkingCopy(context, WorkingCopySpelling::Register);
    });
}

void Form1::CmdDes_LostFocus() {
    rt::IgnoreErrors([&] {
        auto context = Context();
        DeleteWorkingCopy(context, WorkingCopySpelling::Unregister);
    });
}

std::wstring Form1::FolderPath() {
    return File().Path();
}
std::wstring Form1::FileName() {
    return File().FileName();
}
std::int32_t Form1::CheckBoxValue() {
    return ChkDir().Value();
}

}  // namespace tervalux::app
