// The clean-up rule: the registrar's working copy beside the component goes when a command button
// loses the focus and when the window closes. Only a true working copy goes: the folder shown may be
// a system directory (whose registrar is the system's own), or hold someone's own regsvr32.exe.
#include <span>

#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

bool IsTrueWorkingCopy(Services& services, const std::wstring& folder, const std::wstring& workingCopy,
                       const std::wstring& winDir) {
    const std::span<const SystemFolder> systemFolders = SystemFoldersOf(services.Bitness());
    for (const SystemFolder systemFolder : systemFolders) {
        if (services.SameFile(folder, SystemDirectory(winDir, systemFolder))) return false;
        if (services.SameFile(workingCopy, SystemRegistrar(winDir, systemFolder))) return false;
    }
    for (const SystemFolder systemFolder : systemFolders) {
        if (services.SameContents(workingCopy, SystemRegistrar(winDir, systemFolder))) return true;
    }
    return false;
}

}  // namespace

void DeleteWorkingCopy(CommandContext& context, WorkingCopySpelling spelling) {
    // Nothing here may disturb the user: no copy, a copy still running, a folder gone, a probe that
    // fails - the copy simply stays until a later clean-up succeeds.
    try {
        const std::wstring folder = context.selection.FolderPath();
        const std::wstring workingCopy = WorkingCopyPath(folder, spelling);
        const std::wstring winDir = context.module.GetWinDir();
        if (!IsTrueWorkingCopy(context.services, folder, workingCopy, winDir)) return;
        context.services.DeleteFileAt(workingCopy);
    } catch (...) {
    }
}

}  // namespace tervalux
