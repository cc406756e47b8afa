#include "registration/rules.h"

#include <memory>
#include <optional>

#include "platform/pe_machine.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace tervalux {

namespace {

// Spelt as the system spells them; the file system would take any case.
std::wstring_view FolderName(SystemFolder folder) {
    switch (folder) {
        case SystemFolder::System: return L"\\system";
        case SystemFolder::System32: return L"\\system32";
        case SystemFolder::SysWOW64: return L"\\SysWOW64";
        case SystemFolder::Sysnative: return L"\\Sysnative";
    }
    return L"\\system32";
}

// The system directories in the order a system has them: a 32-bit system the first two, a 64-bit
// one also SysWOW64, and a 32-bit program under WOW64 also Sysnative, its only way to the native one.
constexpr SystemFolder kSystemFolders[] = {SystemFolder::System32, SystemFolder::System, SystemFolder::SysWOW64,
                                           SystemFolder::Sysnative};
constexpr std::wstring_view kRegistrarRegisterSpelling = L"\\regsvr32.exe";
constexpr std::wstring_view kRegistrarUnregisterSpelling = L"\\REGSVR32.EXE";

std::wstring_view RegistrarName(WorkingCopySpelling spelling) {
    return spelling == WorkingCopySpelling::Register ? kRegistrarRegisterSpelling : kRegistrarUnregisterSpelling;
}

// A blank or a tab would split the part into two arguments for the started program.
std::wstring CommandLinePart(const std::wstring& part) {
    if (part.find_first_of(L" \t") == std::wstring::npos) return part;
    return L"\"" + part + L"\"";
}

// A file beside the component failed the comparison with the system's registrar: someone's own
// file stands where the working copy must go, unless the registrar itself could not be read, which
// is then reported as the error it is.
void ReportMismatch(Services& services, const std::wstring& systemRegistrar) {
    try {
        services.ReadWholeFile(systemRegistrar);
    } catch (...) {
        ShowNotice(services, ErrorReportText(CurrentError()));
        return;
    }
    ShowNotice(services, ErrorReportText(RuntimeError(err::FileAlreadyExists)));
}

}  // namespace

std::wstring ComponentPath(const std::wstring& folder, const std::wstring& name) {
    return folder + L"\\" + name;
}

std::wstring SystemDirectory(const std::wstring& winDir, SystemFolder folder) {
    return winDir + std::wstring(FolderName(folder));
}

std::wstring ComponentInSystem(const std::wstring& winDir, SystemFolder folder, const std::wstring& name) {
    return SystemDirectory(winDir, folder) + L"\\" + name;
}

std::wstring SystemRegistrar(const std::wstring& winDir, SystemFolder folder, WorkingCopySpelling spelling) {
    return SystemDirectory(winDir, folder) + std::wstring(RegistrarName(spelling));
}

std::wstring WorkingCopyPath(const std::wstring& folder, WorkingCopySpelling spelling) {
    return folder + std::wstring(RegistrarName(spelling));
}

std::wstring RegistrarStartFolder(const std::wstring& winDir, SystemFolder folder) {
    return SystemDirectory(winDir, folder == SystemFolder::Sysnative ? SystemFolder::System32 : folder);
}

SystemFolder ChooseSystemFolder(Services& services, Route route, const std::wstring& component) {
    if (route == Route::System) return SystemFolder::System;
    const SystemBitness bitness = services.Bitness();
    if (bitness == SystemBitness::ThirtyTwoBit) return SystemFolder::System32;
    const std::optional<std::uint16_t> machine = services.ImageMachineOf(component);
    if (!machine) return SystemFolder::System32;
    if (*machine == kMachineI386) return SystemFolder::SysWOW64;
    return bitness == SystemBitness::SixtyFourBitFromWow64 ? SystemFolder::Sysnative : SystemFolder::System32;
}

std::span<const SystemFolder> SystemFoldersOf(SystemBitness bitness) {
    const std::span<const SystemFolder> all(kSystemFolders);
    switch (bitness) {
        case SystemBitness::ThirtyTwoBit: return all.first(2);
        case SystemBitness::SixtyFourBit: return all.first(3);
        case SystemBitness::SixtyFourBitFromWow64: return all;
    }
    return all.first(2);
}

void ApplyFamilyRule(Module1& module) {
    if (auto name = FamilyName(module.GetWinVersion())) module.WinFamily = std::move(*name);
}

Route FamilyRoute(std::wstring_view winFamily) {
    const std::wstring upper = UpperCase(winFamily);
    return upper == L"WINDOWS 2000" || upper == L"WINDOWS NT" ? Route::System32 : Route::System;
}

Route RouteWhereRegistrarIs(Services& services, const std::wstring& winDir, Route familyRoute) {
    if (familyRoute == Route::System && !services.FileExists(SystemRegistrar(winDir, SystemFolder::System)) &&
        services.FileExists(SystemRegistrar(winDir, SystemFolder::System32))) {
        return Route::System32;
    }
    return familyRoute;
}

std::wstring RegistrarCommandLine(const std::wstring& registrar, std::wstring_view switchText,
                                  const std::wstring& name) {
    return CommandLinePart(registrar) + std::wstring(switchText) + CommandLinePart(name);
}

void StartRegistrar(Services& services, const std::wstring& registrar, const std::wstring& registrarFolder,
                    std::wstring_view switchText, const std::wstring& name) {
    services.StartProgram(registrar, RegistrarCommandLine(registrar, switchText, name), WindowStyle::MinimizedWithFocus,
                          registrarFolder);
}

void CopyComponentInto(Services& services, const std::wstring& component, const std::wstring& target) {
    // Copying a file onto itself would truncate it on some systems; it is already where it must be.
    if (services.SameFile(component, target) || services.SameContents(component, target)) return;
    services.CopyFileTo(component, target, Overwrite::Yes);
}

bool StartWorkingCopy(Services& services, PlacedCopies* placedNow, const std::wstring& systemRegistrar,
                      const std::wstring& componentFolder, const std::wstring& workingCopy,
                      std::wstring_view switchText, const std::wstring& name) {
    std::unique_ptr<HeldFile> held;
    try {
        held = services.HoldFile(workingCopy, HoldFor::Starting);
    } catch (...) {
        ShowNotice(services, ErrorReportText(CurrentError()));
        return false;
    }
    if (placedNow != nullptr) {
        try {
            placedNow->Remember(held->Identity(), workingCopy);
        } catch (...) {
            // Never known as ours, so never deleted: a copy left over rather than a file lost.
        }
    }
    if (!held->SameContentsAs(systemRegistrar)) {
        ReportMismatch(services, systemRegistrar);
        return false;
    }
    // Started by the held file's own path: a link above it re-pointed after the comparison would
    // otherwise start another file. The command line names the copy as the start rule spells it.
    services.StartProgram(held->ResolvedPath(), RegistrarCommandLine(workingCopy, switchText, name),
                          WindowStyle::MinimizedWithFocus, componentFolder);
    return true;
}

BesideCopy CopyRegistrarBeside(Services& services, const std::wstring& systemRegistrar,
                               const std::wstring& workingCopy) {
    try {
        services.CopyFileTo(systemRegistrar, workingCopy, Overwrite::No);
        return BesideCopy::Placed;
    } catch (const RuntimeError& error) {
        if (error.Number() != err::FileAlreadyExists) throw;
    }
    // A working copy left from an earlier run, the user's own copy of the registrar, or the
    // registrar itself when the folder shown is the system directory, is as good as a fresh copy
    // for this start, but it is not ours to delete. Anything else there is someone's file.
    if (services.SameContents(systemRegistrar, workingCopy)) return BesideCopy::Found;
    ReportMismatch(services, systemRegistrar);
    return BesideCopy::Refused;
}

void ShowNotice(Services& services, const std::wstring& text) noexcept {
    try {
        services.ShowMessage(text);
    } catch (...) {
    }
}

}  // namespace tervalux
