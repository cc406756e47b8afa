#include "runtime/form_builder.h"

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime_error.h"
#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/drive_list.h"
#include "runtime/file_list.h"
#include "runtime/folder_list.h"
#include "runtime/text_box.h"

namespace tervalux::rt {

std::unique_ptr<Control> MakeControl(const ControlDescription& description, FileQueries& queries) {
    if (description.tabIndex < 0 || description.tabIndex > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(kBindingError, L"O controle '" + description.name +
                                              L"' tem um \u00edndice de tabula\u00e7\u00e3o inv\u00e1lido (" +
                                              std::to_wstring(description.tabIndex) + L")");
    }
    const auto tab = static_cast<std::int16_t>(description.tabIndex);
    const TwipsRect& rect = description.rect;
    if (const KindRow* row = FindKind(description.kind)) {
        switch (row->kind) {
            case Kind::TextBox: return std::make_unique<TextBox>(description.name, rect, tab);
            case Kind::CommandButton:
                return std::make_unique<CommandButton>(description.name, rect, tab, description.caption);
            case Kind::CheckBox: return std::make_unique<CheckBox>(description.name, rect, tab, description.caption);
            case Kind::DriveList: return std::make_unique<DriveList>(description.name, rect, tab, queries);
            case Kind::FolderList: return std::make_unique<FolderList>(description.name, rect, tab, queries);
            case Kind::FileList: return std::make_unique<FileList>(description.name, rect, tab, queries);
            case Kind::Form: break;  // a window, never a control
        }
    }
    throw RuntimeError(kBindingError, L"O controle '" + description.name + L"' \u00e9 de um tipo desconhecido (" +
                                          std::to_wstring(description.kind) + L")");
}

std::unique_ptr<Form> BuildForm(const WindowDescription& description, Services& services, FileQueries& queries,
                                FormHost& host) {
    std::vector<std::unique_ptr<Control>> controls;
    controls.reserve(description.controls.size());
    for (const ControlDescription& control : description.controls) {
        controls.push_back(MakeControl(control, queries));
    }
    FormSettings settings;
    settings.caption = description.form.caption;
    settings.client = description.form.client;
    settings.startUpPosition = description.form.startUpPosition;
    settings.icon = description.form.icon;
    return std::make_unique<Form>(description.form.name, std::move(settings), std::move(controls), services, host);
}

}  // namespace tervalux::rt
