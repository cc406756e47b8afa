#pragma once
// The two commands and the clean-up of the registrar's working copy. Each meets its own errors
// (a message box through the services); none throws.
#include "registration/command_context.h"

namespace tervalux {

// "Registrar": brings component and registrar into one directory and starts the registrar.
void RegisterComponent(CommandContext& context);

// "Desrregistrar": the same with the unregister switch, its route picked by whether the component
// already lies in the system directory.
void UnregisterComponent(CommandContext& context);

// The spelling of the working copy each command uses; the file system treats them as one name.
enum class WorkingCopySpelling { Register, Unregister };  // "\regsvr32.exe", "\REGSVR32.EXE"

// Deletes the registrar's working copy from the folder the file list shows, but only one that this
// run placed (context.placed) and that still has a system registrar's bytes. Every error is ignored.
void DeleteWorkingCopy(CommandContext& context, WorkingCopySpelling spelling);

// At closing: deletes every copy this run placed that still stands, in whatever folder and under
// whatever spelling it was placed, as DeleteWorkingCopy does. A copy whose registrar still runs
// cannot be deleted and stays. Every error is ignored.
void DeletePlacedCopies(CommandContext& context);

}  // namespace tervalux
