// The clean-up rule: the registrar's working copy beside the component goes when a command button
// loses the focus and when the window closes. Only a copy this run placed goes, and only while it
// still has a system registrar's bytes: the folder shown may be a system directory (whose registrar
// is the system's own), or hold someone's own regsvr32.exe, or a copy an earlier run left.
#include <memory>
#include <span>

#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

bool InSystemDirectory(Services& services, const std::wstring& folder, const std::wstring& workingCopy,
                       const std::wstring& winDir) {
    for (const SystemFolder systemFolder : SystemFoldersOf(services.Bitness())) {
        if (services.SameFile(folder, SystemDirectory(winDir, systemFolder))) return true;
        if (services.SameFile(workingCopy, SystemRegistrar(winDir, systemFolder))) return true;
    }
    return false;
}

bool HasSystemRegistrarBytes(Services& services, HeldFile& copy, const std::wstring& winDir) {
    for (const SystemFolder systemFolder : SystemFoldersOf(services.Bitness())) {
        if (copy.SameContentsAs(SystemRegistrar(winDir, systemFolder))) return true;
    }
    return false;
}

}  // namespace

void DeleteWorkingCopy(CommandContext& context, WorkingCopySpelling spelling) {
    // Nothing here may disturb the user: no copy, a copy still running, a folder gone, a probe that
    // fails - the copy simply stays until a later clean-up succeeds.
    try {
        if (context.placed.Empty()) return;
        Services& services = context.services;
        const std::wstring folder = context.selection.FolderPath();
        const std::wstring workingCopy = WorkingCopyPath(folder, spelling);
        const std::wstring winDir = context.module.GetWinDir();
        if (InSystemDirectory(services, folder, workingCopy, winDir)) return;
        // Checked and deleted through one hold, so the file deleted is the file checked.
        const std::unique_ptr<HeldFile> copy = services.HoldFile(workingCopy, HoldFor::Deleting);
        const FileIdentity identity = copy->Identity();
        if (!context.placed.Holds(identity) || !HasSystemRegistrarBytes(services, *copy, winDir)) return;
        copy->Delete();
        context.placed.Forget(identity);
    } catch (...) {
    }
}

}  // namespace tervalux
