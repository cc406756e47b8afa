// "Registrar" (cmdReg_Click): the component and the registrar are brought into one directory, either
// by copying the component into the system directory (check box ticked) or by copying the registrar
// beside the component, and the registrar is started there with the component's bare name.
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

constexpr std::int32_t kCheckBoxTicked = 1;  // 0 (clear) and 2 (grayed) both count as not ticked

void Register(CommandContext& context) {
    Selection& selection = context.selection;
    Services& services = context.services;

    if (TrimBlanks(selection.FolderPath()).empty() || TrimBlanks(selection.FileName()).empty()) return;

    const std::wstring winDir = context.module.GetWinDir();
    const std::wstring component = ComponentPath(selection.FolderPath(), selection.FileName());
    ApplyFamilyRule(context.module);
    const Route route = RouteWhereRegistrarIs(services, winDir, FamilyRoute(context.module.WinFamily));
    const SystemFolder systemFolder = ChooseSystemFolder(services, route, component);
    const std::wstring systemRegistrar = SystemRegistrar(winDir, systemFolder);

    if (selection.CheckBoxValue() == kCheckBoxTicked) {
        CopyComponentInto(services, component, ComponentInSystem(winDir, systemFolder, selection.FileName()));
        StartRegistrar(services, systemRegistrar, RegistrarStartFolder(winDir, systemFolder), kRegisterSwitch,
                       selection.FileName());
    } else {
        const std::wstring workingCopy = WorkingCopyPath(selection.FolderPath(), WorkingCopySpelling::Register);
        const BesideCopy beside = CopyRegistrarBeside(services, systemRegistrar, workingCopy);
        if (beside == BesideCopy::Refused) return;
        (void)StartWorkingCopy(services, beside == BesideCopy::Placed ? &context.placed : nullptr, systemRegistrar,
                               selection.FolderPath(), workingCopy, kRegisterSwitch, selection.FileName());
    }
}

}  // namespace

void RegisterComponent(CommandContext& context) {
    // Any error stops the command where it is; nothing done so far is undone.
    try {
        try {
            Register(context);
        } catch (...) {
            const RuntimeError error = CurrentError();
            ShowNotice(context.services,
                       error.Number() == err::InvalidCall ? msg::NotAProgram : ErrorReportText(error));
        }
    } catch (...) {
        // Only the report itself can get here (memory running out while it is built); the command
        // must not throw.
    }
}

}  // namespace tervalux
