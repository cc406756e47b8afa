// "Desrregistrar" (CmdDes_Click): a small step machine, read from its table below. The steps keep
// the numbers they have always had, because the error trap resumes by number:
// - 58 (file already exists) goes on at the step the table lists as "after 58";
// - 53 (file not found) sends the command once to its route's fallback, the step that copies the
//   registrar beside the component (11 in system32, 17 in system);
// - any other error is reported and ends the command.
// Once the fallback is taken the trap is busy: every later error is reported. The one 58 that never
// goes on is a foreign file where the working copy must go (steps 11/12 and 17/18): it is reported
// and ends the command, since the next step would start it.
// On a 64-bit system the system32 route's steps (7 to 12) work in the directory of the component's
// own bitness, the trap's way into step 11 included.
#include <optional>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

enum class Step {
    End = 0,
    ReadSelection = 2,
    AskWinDir = 3,
    BuildComponentPath = 4,
    SetFamily = 5,
    ChooseRoute = 6,
    System32Target = 7,
    System32TestTarget = 8,
    System32CopyComponent = 9,
    System32StartRegistrar = 10,
    System32CopyRegistrarBeside = 11,
    System32StartWorkingCopy = 12,
    SystemTarget = 13,
    SystemTestTarget = 14,
    SystemCopyComponent = 15,
    SystemStartRegistrar = 16,
    SystemCopyRegistrarBeside = 17,
    SystemStartWorkingCopy = 18,
    SystemCopyComponentAgain = 19,
    SystemStartRegistrarAgain = 20,
};

// What a step does. Each answers yes or no; the table says where each answer goes.
enum class Action {
    ReadSelection,          // no: P or N blank
    AskWinDir,              // W = GetWinDir
    BuildComponentPath,     // C = P\N
    SetFamily,              // the family rule
    ChooseRoute,            // yes: system32, no: system
    SetTarget,              // T = W\S\N
    TestTarget,             // yes: T there; no: a file with no attribute bit (a missing T throws 53)
    CopyComponentToTarget,  // C to T
    CopyComponentToSystem,  // C to W\system\N
    StartSystemRegistrar,   // W\S\regsvr32.exe /u N
    CopyRegistrarBeside,    // W\S\REGSVR32.EXE to P; no: someone's own file there
    StartWorkingCopy,       // P\REGSVR32.EXE /U N; no: someone's own file there
};

struct StepRow {
    Step step;
    Action action;
    std::optional<Route> route;  // the route whose directory the step works in
    Step yes;
    Step no;
    Step after58;  // where error 58 in this step goes on
};

constexpr std::optional<Route> kAny = std::nullopt;
constexpr std::optional<Route> k32 = Route::System32;
constexpr std::optional<Route> kSys = Route::System;
using S = Step;
using A = Action;

// clang-format off
constexpr StepRow kSteps[] = {
    // step                        what it does                route  yes                          no                           after 58
    {S::ReadSelection,             A::ReadSelection,           kAny,  S::AskWinDir,                S::End,                      S::End},
    {S::AskWinDir,                 A::AskWinDir,               kAny,  S::BuildComponentPath,       S::End,                      S::BuildComponentPath},
    {S::BuildComponentPath,        A::BuildComponentPath,      kAny,  S::SetFamily,                S::End,                      S::SetFamily},
    {S::SetFamily,                 A::SetFamily,               kAny,  S::ChooseRoute,              S::End,                      S::ChooseRoute},
    {S::ChooseRoute,               A::ChooseRoute,             kAny,  S::System32Target,           S::SystemTarget,             S::System32Target},
    // system32 route
    {S::System32Target,            A::SetTarget,               k32,   S::System32TestTarget,       S::End,                      S::System32TestTarget},
    {S::System32TestTarget,        A::TestTarget,              k32,   S::System32CopyComponent,    S::System32CopyRegistrarBeside, S::System32CopyComponent},
    {S::System32CopyComponent,     A::CopyComponentToTarget,   k32,   S::System32StartRegistrar,   S::End,                      S::System32StartRegistrar},
    {S::System32StartRegistrar,    A::StartSystemRegistrar,    k32,   S::End,                      S::End,                      S::End},
    {S::System32CopyRegistrarBeside, A::CopyRegistrarBeside,   k32,   S::System32StartWorkingCopy, S::End,                      S::System32StartWorkingCopy},
    {S::System32StartWorkingCopy,  A::StartWorkingCopy,        k32,   S::End,                      S::End,                      S::End},
    // system route
    {S::SystemTarget,              A::SetTarget,               kSys,  S::SystemTestTarget,         S::End,                      S::SystemTestTarget},
    {S::SystemTestTarget,          A::TestTarget,              kSys,  S::SystemCopyComponent,      S::SystemCopyRegistrarBeside, S::SystemCopyComponent},
    {S::SystemCopyComponent,       A::CopyComponentToTarget,   kSys,  S::SystemStartRegistrar,     S::End,                      S::SystemStartRegistrar},
    {S::SystemStartRegistrar,      A::StartSystemRegistrar,    kSys,  S::SystemCopyComponentAgain, S::End,                      S::SystemCopyComponentAgain},
    {S::SystemCopyRegistrarBeside, A::CopyRegistrarBeside,     kSys,  S::SystemStartWorkingCopy,   S::End,                      S::SystemStartWorkingCopy},
    {S::SystemStartWorkingCopy,    A::StartWorkingCopy,        kSys,  S::SystemCopyComponentAgain, S::End,                      S::SystemCopyComponentAgain},
    {S::SystemCopyComponentAgain,  A::CopyComponentToSystem,   kSys,  S::SystemStartRegistrarAgain, S::End,                     S::SystemStartRegistrarAgain},
    {S::SystemStartRegistrarAgain, A::StartSystemRegistrar,    kSys,  S::End,                      S::End,                      S::End},
};
// clang-format on

const StepRow& RowOf(Step step) {
    for (const StepRow& row : kSteps) {
        if (row.step == step) return row;
    }
    throw RuntimeError(err::InvalidCall);  // unreachable: every target in the table has a row
}

// The trap's 53 goes to the route's copy of the registrar beside the component.
Step FallbackOf(Route route) {
    for (const StepRow& row : kSteps) {
        if (row.action == Action::CopyRegistrarBeside && row.route == route) return row.step;
    }
    return Step::End;
}

class Unregistration {
   public:
    explicit Unregistration(CommandContext& context) : context_(context) {}

    void Run() {
        Step step = Step::ReadSelection;
        while (step != Step::End) {
            try {
                const StepRow& row = RowOf(step);
                step = Perform(row) ? row.yes : row.no;
            } catch (...) {
                step = Trap(step, CurrentError());
            }
        }
    }

   private:
    Step Trap(Step failedStep, const RuntimeError& error) {
        if (!fallbackTaken_) {
            if (error.Number() == err::FileAlreadyExists) return RowOf(failedStep).after58;
            if (error.Number() == err::FileNotFound) {
                fallbackTaken_ = true;
                return FallbackOf(FallbackRoute());
            }
        }
        ShowNotice(context_.services, ErrorReportText(error));
        return Step::End;
    }

    // The route step 6 chose; before step 6 has run, the family as it stands now (possibly left by
    // an earlier command, or empty).
    Route FallbackRoute() const { return route_ ? *route_ : FamilyRoute(context_.module.WinFamily); }

    bool Perform(const StepRow& row) {
        Services& services = context_.services;
        switch (row.action) {
            case Action::ReadSelection: return !TrimBlanks(P()).empty() && !TrimBlanks(N()).empty();
            case Action::AskWinDir: winDir_ = context_.module.GetWinDir(); return true;
            case Action::BuildComponentPath: component_ = ComponentPath(P(), N()); return true;
            case Action::SetFamily: ApplyFamilyRule(context_.module); return true;
            case Action::ChooseRoute:
                route_ = RouteWhereRegistrarIs(services, winDir_, FamilyRoute(context_.module.WinFamily));
                return *route_ == Route::System32;
            case Action::SetTarget: target_ = ComponentInSystem(winDir_, FolderOf(row), N()); return true;
            case Action::TestTarget: return services.FileAttributes(target_) != 0;
            case Action::CopyComponentToTarget: CopyComponentInto(services, component_, target_); return true;
            case Action::CopyComponentToSystem:
                CopyComponentInto(services, component_, ComponentInSystem(winDir_, SystemFolder::System, N()));
                return true;
            case Action::StartSystemRegistrar: {
                const SystemFolder folder = FolderOf(row);
                StartRegistrar(services, SystemRegistrar(winDir_, folder), RegistrarStartFolder(winDir_, folder),
                               kUnregisterSystemSwitch, N());
                return true;
            }
            // Someone's own REGSVR32.EXE beside the component ends the command here, however this
            // step was reached: the trap's "58: go on" would start it next.
            case Action::CopyRegistrarBeside: {
                placedWorkingCopy_ = false;
                const BesideCopy beside = CopyRegistrarBeside(services, RegistrarToCopy(row), WorkingCopy());
                placedWorkingCopy_ = beside == BesideCopy::Placed;
                return beside != BesideCopy::Refused;
            }
            case Action::StartWorkingCopy:
                return StartWorkingCopy(services, placedWorkingCopy_ ? &context_.placed : nullptr, RegistrarToCopy(row),
                                        P(), WorkingCopy(), kUnregisterBesideSwitch, N());
        }
        return false;
    }

    // P and N are read from the window each time a step needs them.
    std::wstring P() { return context_.selection.FolderPath(); }
    std::wstring N() { return context_.selection.FileName(); }
    std::wstring WorkingCopy() { return WorkingCopyPath(P(), WorkingCopySpelling::Unregister); }
    std::wstring RegistrarToCopy(const StepRow& row) {
        return SystemRegistrar(winDir_, FolderOf(row), WorkingCopySpelling::Unregister);
    }

    // The system route always works in system. The system32 route's folder follows the component's
    // bitness on a 64-bit system; it is chosen once, the first time a step needs it, so that the
    // target, the registrar copied and the registrar started all lie in one directory.
    SystemFolder FolderOf(const StepRow& row) {
        if (row.route != Route::System32) return SystemFolder::System;
        if (!system32RouteFolder_) {
            system32RouteFolder_ = ChooseSystemFolder(context_.services, Route::System32, ComponentPath(P(), N()));
        }
        return *system32RouteFolder_;
    }

    CommandContext& context_;
    std::wstring winDir_;
    std::wstring component_;
    std::wstring target_;
    std::optional<Route> route_;
    std::optional<SystemFolder> system32RouteFolder_;
    bool fallbackTaken_ = false;
    bool placedWorkingCopy_ = false;  // the last copy step placed the working copy the start step holds
};

}  // namespace

void UnregisterComponent(CommandContext& context) {
    try {
        Unregistration(context).Run();
    } catch (...) {
        // The trap meets every error of the steps; this only keeps something thrown inside the trap
        // itself (memory running out while it builds the report) from leaving the handler.
    }
}

}  // namespace tervalux
