// "Desrregistrar" (CmdDes_Click): a small step machine. The steps keep the numbers they have always
// had, because the error trap resumes by number: 58 (file already exists) goes on at the step listed
// as "after 58", 53 (file not found) sends the command once to the fallback that runs a working copy
// of the registrar beside the component (step 11 in system32, step 17 in system), and any other
// error is reported. Once the fallback is taken the trap is busy: every later error is reported.
// The one 58 that never goes on is a foreign file where the working copy must go (steps 11 and
// 17): it is reported and ends the command, since the next step would start it.
// On a 64-bit system the system32 route's steps (7 to 12) work in the directory of the component's
// own bitness, the trap's way into step 11 included.
#include <optional>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "registration/commands.h"
#include "registration/rules.h"

namespace tervalux {

namespace {

constexpr int kEnd = 0;
constexpr int kFallbackSystem32 = 11;
constexpr int kFallbackSystem = 17;

class Unregistration {
   public:
    explicit Unregistration(CommandContext& context) : context_(context) {}

    void Run() {
        int step = 2;
        while (step != kEnd) {
            try {
                step = RowOf(step).action(*this);
            } catch (...) {
                step = Trap(step, CurrentError());
            }
        }
    }

   private:
    struct StepRow {
        int step;
        int (*action)(Unregistration&);  // returns the next step, kEnd to stop
        int after58;                     // where error 58 in this step goes on
    };
    static const StepRow kSteps[];

    static const StepRow& RowOf(int step);

    int Trap(int failedStep, const RuntimeError& error) {
        if (!fallbackTaken_) {
            if (error.Number() == err::FileAlreadyExists) return RowOf(failedStep).after58;
            if (error.Number() == err::FileNotFound) {
                fallbackTaken_ = true;
                return FallbackRoute() == Route::System32 ? kFallbackSystem32 : kFallbackSystem;
            }
        }
        ShowNotice(context_.services, ErrorReportText(error));
        return kEnd;
    }

    // The route step 6 chose; before step 6 has run, the family as it stands now (possibly left by
    // an earlier command, or empty).
    Route FallbackRoute() const { return route_ ? *route_ : FamilyRoute(context_.module.WinFamily); }

    // Step bodies. P and N are read from the window each time a step needs them.
    std::wstring P() { return context_.selection.FolderPath(); }
    std::wstring N() { return context_.selection.FileName(); }

    int ReadSelection() {
        if (TrimBlanks(P()).empty() || TrimBlanks(N()).empty()) return kEnd;
        return 3;
    }
    int AskWinDir() {
        winDir_ = context_.module.GetWinDir();
        return 4;
    }
    int BuildComponentPath() {
        component_ = ComponentPath(P(), N());
        return 5;
    }
    int SetFamily() {
        ApplyFamilyRule(context_.module);
        return 6;
    }
    int ChooseRoute() {
        route_ = RouteWhereRegistrarIs(context_.services, winDir_, FamilyRoute(context_.module.WinFamily));
        return *route_ == Route::System32 ? 7 : 13;
    }
    int SetTarget(Route route, int next) {
        target_ = ComponentInSystem(winDir_, FolderOf(route), N());
        return next;
    }
    // A missing target throws 53 (the trap's fallback); a file with no attribute bit set takes the
    // fallback's steps directly.
    int TestTarget(int present, int absent) {
        return context_.services.FileAttributes(target_) != 0 ? present : absent;
    }
    std::wstring InSystemFolder() { return ComponentInSystem(winDir_, SystemFolder::System, N()); }
    int CopyComponent(const std::wstring& target, int next) {
        CopyComponentInto(context_.services, component_, target);
        return next;
    }
    int StartSystemRegistrar(Route route, int next) {
        const SystemFolder folder = FolderOf(route);
        StartRegistrar(context_.services, SystemRegistrar(winDir_, folder), RegistrarStartFolder(winDir_, folder),
                       kUnregisterSystemSwitch, N());
        return next;
    }
    // Someone's own REGSVR32.EXE beside the component ends the command here, however this step was
    // reached: the trap's "58: go on" would start it next.
    int CopyRegistrarToComponent(Route route, int next) {
        return CopyRegistrarBeside(context_.services, RegistrarToCopy(route), WorkingCopy()) ? next : kEnd;
    }
    int StartWorkingCopyBeside(Route route, int next) {
        const bool started = StartWorkingCopy(context_.services, RegistrarToCopy(route), P(), WorkingCopy(),
                                              kUnregisterBesideSwitch, N());
        return started ? next : kEnd;
    }
    std::wstring RegistrarToCopy(Route route) {
        return SystemRegistrar(winDir_, FolderOf(route), WorkingCopySpelling::Unregister);
    }
    // The system route always works in system. The system32 route's folder follows the component's
    // bitness on a 64-bit system; it is chosen once, the first time a step needs it, so that the
    // target, the registrar copied and the registrar started all lie in one directory.
    SystemFolder FolderOf(Route route) {
        if (route == Route::System) return SystemFolder::System;
        if (!system32RouteFolder_) {
            system32RouteFolder_ = ChooseSystemFolder(context_.services, route, ComponentPath(P(), N()));
        }
        return *system32RouteFolder_;
    }
    std::wstring WorkingCopy() { return WorkingCopyPath(P(), WorkingCopySpelling::Unregister); }

    CommandContext& context_;
    std::wstring winDir_;
    std::wstring component_;
    std::wstring target_;
    std::optional<Route> route_;
    std::optional<SystemFolder> system32RouteFolder_;
    bool fallbackTaken_ = false;
};

using U = Unregistration;
constexpr Route k32 = Route::System32;
constexpr Route kSys = Route::System;

// clang-format off
const Unregistration::StepRow Unregistration::kSteps[] = {
    // step  what it does                                                          after 58
    { 2, [](U& u) { return u.ReadSelection(); },                                   kEnd},  // blank P or N: end
    { 3, [](U& u) { return u.AskWinDir(); },                                       4},     // W = GetWinDir
    { 4, [](U& u) { return u.BuildComponentPath(); },                              5},     // C = P\N
    { 5, [](U& u) { return u.SetFamily(); },                                       6},     // family rule
    { 6, [](U& u) { return u.ChooseRoute(); },                                     7},     // system32: 7, system: 13
    // system32 route (on a 64-bit system every W\system32 below is the component's own system directory)
    { 7, [](U& u) { return u.SetTarget(k32, 8); },                                 8},     // T = W\system32\N
    { 8, [](U& u) { return u.TestTarget(9, 11); },                                 9},     // T there: 9, else 11
    { 9, [](U& u) { return u.CopyComponent(u.target_, 10); },                      10},    // copy C to T
    {10, [](U& u) { return u.StartSystemRegistrar(k32, kEnd); },                   kEnd},  // W\system32\regsvr32.exe /u N
    {11, [](U& u) { return u.CopyRegistrarToComponent(k32, 12); },                 12},    // REGSVR32.EXE to P
    {12, [](U& u) { return u.StartWorkingCopyBeside(k32, kEnd); },                 kEnd},  // P\REGSVR32.EXE /U N
    // system route
    {13, [](U& u) { return u.SetTarget(kSys, 14); },                               14},    // T = W\system\N
    {14, [](U& u) { return u.TestTarget(15, 17); },                                15},    // T there: 15, else 17
    {15, [](U& u) { return u.CopyComponent(u.target_, 16); },                      16},    // copy C to T
    {16, [](U& u) { return u.StartSystemRegistrar(kSys, 19); },                    19},    // W\system\regsvr32.exe /u N
    {17, [](U& u) { return u.CopyRegistrarToComponent(kSys, 18); },                18},    // REGSVR32.EXE to P
    {18, [](U& u) { return u.StartWorkingCopyBeside(kSys, 19); },                  19},    // P\REGSVR32.EXE /U N
    {19, [](U& u) { return u.CopyComponent(u.InSystemFolder(), 20); },             20},    // C to W\system\N
    {20, [](U& u) { return u.StartSystemRegistrar(kSys, kEnd); },                  kEnd},  // W\system\regsvr32.exe /u N
};
// clang-format on

const Unregistration::StepRow& Unregistration::RowOf(int step) {
    for (const StepRow& row : kSteps) {
        if (row.step == step) return row;
    }
    throw RuntimeError(err::InvalidCall);  // unreachable: every target in the table has a row
}

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
