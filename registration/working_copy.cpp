// The clean-up rule: the registrar's working copy beside the component goes when a command button
// loses the focus, and every copy this run placed goes when the window closes. Only a copy this run
// placed goes, wherever it was placed (a system directory included: one left there would turn every
// later run onto that directory's route), and only while it still has a system registrar's bytes.
// Anything else stays: the system's own registrar, which stood there before the run, someone's own
// regsvr32.exe, a copy an earlier run left.
#include <memory>

#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

// Compared with the registrars of the system directories other than the copy itself: a copy placed
// in `system` stands where that directory's registrar would, and always has its own bytes.
bool HasSystemRegistrarBytes(Services& services, HeldFile& copy, const FileIdentity& identity,
                             const std::wstring& winDir) {
    for (const SystemFolder systemFolder : SystemFoldersOf(services.Bitness())) {
        const std::wstring registrar = SystemRegistrar(winDir, systemFolder);
        if (services.IdentityOf(registrar) == identity) continue;
        if (copy.SameContentsAs(registrar)) return true;
    }
    return false;
}

// Nothing here may disturb the user: no copy, a copy still running, a folder gone - the copy simply
// stays until a later clean-up succeeds.
void DeleteIfPlaced(CommandContext& context, const std::wstring& path, const std::wstring& winDir) noexcept {
    try {
        // Checked and deleted through one hold, so the file deleted is the file checked.
        const std::unique_ptr<HeldFile> copy = context.services.HoldFile(path, HoldFor::Deleting);
        const FileIdentity identity = copy->Identity();
        if (!context.placed.Holds(identity) || !HasSystemRegistrarBytes(context.services, *copy, identity, winDir)) {
            return;
        }
        copy->Delete();
        context.placed.Forget(identity);
    } catch (...) {
    }
}

}  // namespace

void DeleteWorkingCopy(CommandContext& context, WorkingCopySpelling spelling) {
    try {
        if (context.placed.Empty()) return;
        const std::wstring folder = context.selection.FolderPath();
        DeleteIfPlaced(context, WorkingCopyPath(folder, spelling), context.module.GetWinDir());
    } catch (...) {
    }
}

void DeletePlacedCopies(CommandContext& context) {
    try {
        if (context.placed.Empty()) return;
        const std::wstring winDir = context.module.GetWinDir();
        for (const std::wstring& path : context.placed.Paths()) DeleteIfPlaced(context, path, winDir);
    } catch (...) {
    }
}

}  // namespace tervalux
