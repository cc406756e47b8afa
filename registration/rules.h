#pragma once
// The rules the register and unregister commands share, one piece of code each: the path table,
// the family rule with the choice of the system directory, the start rule and the two guarded
// copies. The clean-up rule is DeleteWorkingCopy in commands.h.
#include <span>
#include <string>
#include <string_view>

#include "platform/module1.h"
#include "platform/services.h"
#include "registration/commands.h"
#include "registration/placed_copies.h"

namespace tervalux {

// Which system directory a command works in: which of the command's two ways it takes.
enum class Route { System32, System };

// The folder below W that a route's paths name. On a 32-bit system the system32 route works in
// system32; on a 64-bit system in the folder of the component's own bitness (ChooseSystemFolder).
enum class SystemFolder { System, System32, SysWOW64, Sysnative };

// ---- Path table ----------------------------------------------------------------------------
// Every path is plain concatenation of its parts: no check for a trailing backslash and no change
// of case, so a drive-root folder "c:\" gives "c:\\a.ocx" and the system sees the same file.
//
//   component                        P & "\" & N
//   component in the system dir      W & S & "\" & N
//   registrar, run (both commands)   W & S & "\regsvr32.exe"
//   registrar, unregister copy src   W & S & "\REGSVR32.EXE"
//   working copy, register           P & "\regsvr32.exe"
//   working copy, unregister         P & "\REGSVR32.EXE"
//
// where S is "\system" or "\system32", or on a 64-bit system "\SysWOW64" or "\Sysnative" in place
// of "\system32". The register command spells the registrar "regsvr32.exe" everywhere; the
// unregister command runs the system one under that name but copies it, and names its working
// copy, "REGSVR32.EXE". The file system compares names without regard to case, so both spellings
// name one file.

std::wstring ComponentPath(const std::wstring& folder, const std::wstring& name);
std::wstring SystemDirectory(const std::wstring& winDir, SystemFolder folder);
std::wstring ComponentInSystem(const std::wstring& winDir, SystemFolder folder, const std::wstring& name);
std::wstring SystemRegistrar(const std::wstring& winDir, SystemFolder folder,
                             WorkingCopySpelling spelling = WorkingCopySpelling::Register);
std::wstring WorkingCopyPath(const std::wstring& folder, WorkingCopySpelling spelling);

// The folder a route names on a 32-bit system, where the route alone decides.
constexpr SystemFolder FolderOfRoute(Route route) {
    return route == Route::System32 ? SystemFolder::System32 : SystemFolder::System;
}

// The folder the system32 route works in for the component at `component`. On a 64-bit system a
// 32-bit image (I386) belongs to SysWOW64 and any other image to the native system directory
// (Sysnative, as the 32-bit build reaches it under WOW64); a file that is no readable image, or
// none at all, and every component on a 32-bit system, go to system32 as they always have. The
// system route is never changed. Never throws.
SystemFolder ChooseSystemFolder(Services& services, Route route, const std::wstring& component);

// The system directories of the system this program sees: those a folder shown can be, and those
// whose registrar a working copy can be a copy of.
std::span<const SystemFolder> SystemFoldersOf(SystemBitness bitness);

// ---- Family rule -----------------------------------------------------------------------------

// Asks GetWinVersion and sets WinFamily from the code; a code outside 0..6 leaves WinFamily as it was.
void ApplyFamilyRule(Module1& module);

// Only "Windows NT" and "Windows 2000" (any case) work in system32; every other name, the empty one
// included, works in system.
Route FamilyRoute(std::wstring_view winFamily);

// The family's route, except that the system route goes to system32 when only system32 has the
// registrar (as on XP and later). The system32 route never falls back to system: there the missing
// registrar is the command's 53. Never throws.
Route RouteWhereRegistrarIs(Services& services, const std::wstring& winDir, Route familyRoute);

// ---- Start rule ------------------------------------------------------------------------------

// What stands between the registrar and the component's name on the command line.
inline constexpr std::wstring_view kRegisterSwitch = L" ";
inline constexpr std::wstring_view kUnregisterSystemSwitch = L" /u ";  // registrar in the system dir
inline constexpr std::wstring_view kUnregisterBesideSwitch = L" /U ";  // working copy beside the component

// registrar & switch & name, with the registrar and the name each in double quotes only when it
// holds a blank or a tab (which would split it); otherwise exactly the plain concatenation.
std::wstring RegistrarCommandLine(const std::wstring& registrar, std::wstring_view switchText,
                                  const std::wstring& name);

// The folder a system registrar is started in: its own. The one exception is Sysnative, an alias
// that only a 32-bit program has; the 64-bit registrar started from it knows its folder as system32.
// The system checks the folder on our side of the file-system redirection, where system32 is
// SysWOW64 and exists.
std::wstring RegistrarStartFolder(const std::wstring& winDir, SystemFolder folder);

// Starts the registrar by its full path, minimised with the focus, in its own folder, and does not
// wait for it. The folder matters on a 64-bit system: a registrar that hands the component on to
// the registrar of the other bitness passes it the bare name, which that one then finds there.
void StartRegistrar(Services& services, const std::wstring& registrar, const std::wstring& registrarFolder,
                    std::wstring_view switchText, const std::wstring& name);

// Starts the working copy beside the component as StartRegistrar does, but only while its bytes
// are the system registrar's: a step can be reached without the copy before it having run (the
// unregister trap goes on after a 58), and what stands there then may be anyone's program. The copy
// is held from the comparison until the start has returned, so the file started is the file
// compared. Where this command has just placed the copy (`placedNow`, else nullptr), the run
// remembers it as its own by the identity the hold reads, so that the file recorded is the file
// checked and started; a copy whose identity cannot be read is not remembered, and stays. A foreign
// file is reported as "O arquivo já existe 58"; a copy that cannot be held, or a system registrar
// that cannot be read, is reported with its own error, whatever the command's trap would make of
// that number. In all these cases nothing is started and the result is false.
[[nodiscard]] bool StartWorkingCopy(Services& services, PlacedCopies* placedNow, const std::wstring& systemRegistrar,
                                    const std::wstring& componentFolder, const std::wstring& workingCopy,
                                    std::wstring_view switchText, const std::wstring& name);

// ---- Guarded copies --------------------------------------------------------------------------

// Copies the component into the system directory, over an older copy there. A target that already
// is the component (the folder shown is the system directory), or already has its bytes, is left
// alone: the copy would give the same file, and a registrar started a moment ago may be loading it.
// Where either cannot be read for the comparison, the copy is made and its error is the copy's.
void CopyComponentInto(Services& services, const std::wstring& component, const std::wstring& target);

// What stands beside the component once CopyRegistrarBeside has run.
enum class BesideCopy {
    Placed,   // the command's own copy, made just now
    Found,    // a file with the registrar's bytes that was there before: used, never deleted
    Refused,  // reported; the command ends there
};

// Copies the system's registrar beside the component without ever replacing a file there. A file
// already there with the registrar's bytes counts as the copy but stays whose it was. Any other
// file there is someone's own program, which the command must never start (the registrar runs
// with administrator rights): it is reported as "O arquivo já existe 58", and the command ends
// there, whatever trap it has; a system registrar that cannot be read for the comparison is
// reported with its own error and ends the command the same way. Every other failure throws.
[[nodiscard]] BesideCopy CopyRegistrarBeside(Services& services, const std::wstring& systemRegistrar,
                                             const std::wstring& workingCopy);

// Shows an error report or notice; a box that cannot be shown is let go, since a command must not
// throw and has nobody else to tell.
void ShowNotice(Services& services, const std::wstring& text) noexcept;

}  // namespace tervalux
