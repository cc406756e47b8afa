#include "runtime/win32/views.h"

#include "runtime/win32/list_views.h"

namespace tervalux::rt::win32 {

std::unique_ptr<Win32View> CreateView(Control& model, Form& form, const ViewPlace& place) {
    switch (model.GetKind()) {
        case Kind::CommandButton: return std::make_unique<ButtonView>(static_cast<CommandButton&>(model), place);
        case Kind::CheckBox: return std::make_unique<CheckBoxView>(static_cast<CheckBox&>(model), place);
        case Kind::TextBox: return std::make_unique<TextBoxView>(static_cast<TextBox&>(model), form, place);
        case Kind::DriveList:
        case Kind::FolderList:
        case Kind::FileList:
            if (auto view = MakeListView(model, place)) return view;
            break;
        case Kind::Form: break;
    }
    throw RuntimeError(kBindingError, L"O controle '" + model.Name() + L"' n\u00e3o tem vista");
}

}  // namespace tervalux::rt::win32
