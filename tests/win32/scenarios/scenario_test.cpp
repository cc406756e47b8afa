// Bad input and faults on real files: each row runs one command (or only the clean-up) with the real
// services under a scratch Windows directory, and checks the message it ends in, the registrars it
// started (as the started processes saw their command lines), and every file's bytes under the
// scratch tree against exactly the changes the command means to make.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/module1.h"
#include "registration/commands.h"
#include "scenario_doubles.h"
#include "tree_snapshot.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;

constexpr wchar_t kStartsVariable[] = L"TERVALUX_SCENARIO_STARTS";
const std::string kComponentBytes = "component: the version being registered";
const std::string kOlderBytes = "component: an older version already in the system directory";
const std::string kForeignBytes = "someone's own regsvr32.exe, not the system's registrar";

// RegisterAcrossARestart: Register with the row's box, the clean-up until the working copy has
// gone, then Register with the box ticked as the program started again (nothing placed yet).
enum class Command { Register, Unregister, LostFocusOnly, RegisterAcrossARestart };

// Which system directories exist and which of them hold the registrar.
enum class Layout {
    Modern,         // system32 with the registrar, no system folder (as Wine makes a prefix)
    Nine,           // system with the registrar, no system32 folder
    Both,           // both folders, each with the registrar
    NoRegistrar,    // both folders, no registrar in either
    NoRegistrar32,  // only system32, without a registrar
    ModernSystem,   // system32 with the registrar, and an empty system folder (as Windows keeps it)
};

enum class Fault {
    None,
    ComponentReadOnly,  // the component has the read-only attribute
    InSystem,           // an older copy of the component is in the system directory
    InSystemReadOnly,   // ... and is read-only
    InSystemInUse,      // ... and is open with no sharing during the command
    ComponentInUse,     // the component is open with no sharing during the command
    ForeignRegistrar,   // a regsvr32.exe with other bytes stands in the component's folder
    LeftWorkingCopy,    // a copy of the registrar this run did not place stands in the component's folder
};

// The folder shown: a path under the scratch tree, or a system directory itself.
inline const std::wstring kSystemFolderShown = L"<system32>";
inline const std::wstring kNineFolderShown = L"<system>";

// A change the command means to make: `path` ends with the bytes `from` had before the command, or
// is gone when `from` is empty. Paths use {W} (Windows directory), {P} (folder shown), {N} (file).
struct Change {
    std::wstring path;
    std::wstring from;
};

struct Scenario {
    std::string name;
    Command command;
    std::int32_t box;
    Layout layout;
    Version version;
    std::wstring folder;
    std::wstring file;
    Fault fault;
    bool cleanUp;                      // the command's clean-up runs afterwards (LostFocus)
    std::wstring message;              // the message it ends in; empty for none
    std::vector<std::wstring> starts;  // the command lines started, in order, with {W} {P} {N}
    std::vector<Change> changes;
};

// Rows print by name in failure reports.
void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

std::wstring Expand(std::wstring text, const std::wstring& winDir, const std::wstring& folder,
                    const std::wstring& file) {
    const std::pair<std::wstring, const std::wstring*> tokens[] = {
        {L"{W}", &winDir}, {L"{P}", &folder}, {L"{N}", &file}};
    for (const auto& [token, value] : tokens) {
        for (std::size_t at = text.find(token); at != std::wstring::npos; at = text.find(token, at + value->size())) {
            text.replace(at, token.size(), *value);
        }
    }
    return text;
}

std::wstring Repeat(wchar_t c, std::size_t count) {
    return std::wstring(count, c);
}

// Paths and names at the limits.
const std::wstring kName255 = Repeat(L'c', 251) + L".ocx";
const std::wstring kFolderPast260 =
    Repeat(L'a', 100) + L"\\" + Repeat(L'b', 100) + L"\\" + Repeat(L'd', 100) + L" com brancos";

const std::wstring kPortugueseFolder = L"Componentes de teste \u00e7\u00e3o";
const std::wstring kPortugueseFile = L"a\u00e7\u00e3o.ocx";
const std::wstring kJapaneseFolder = L"\u65e5\u672c \u30d5\u30a9\u30eb\u30c0";
const std::wstring kJapaneseFile = L"\u65e5\u672c.ocx";

const std::wstring kNotFound = L"Arquivo n\u00e3o encontrado 53";
const std::wstring kPathNotFound = L"Caminho n\u00e3o encontrado 76";
const std::wstring kDenied = L"Permiss\u00e3o negada 70";
const std::wstring kExists = L"O arquivo j\u00e1 existe 58";

// Command lines: the scratch Windows directory has a blank, so its registrar is always quoted.
const std::wstring kReg32 = L"\"{W}\\system32\\regsvr32.exe\" ";
const std::wstring kRegSys = L"\"{W}\\system\\regsvr32.exe\" ";
const std::wstring kUnreg32 = L"\"{W}\\system32\\regsvr32.exe\" /u ";
const std::wstring kUnregSys = L"\"{W}\\system\\regsvr32.exe\" /u ";
const std::wstring kCopyReg = L"{P}\\regsvr32.exe ";
const std::wstring kCopyRegQuoted = L"\"{P}\\regsvr32.exe\" ";
const std::wstring kCopyUnregQuoted = L"\"{P}\\REGSVR32.EXE\" /U ";
const std::wstring kCopyUnreg = L"{P}\\REGSVR32.EXE /U ";

const Change kIntoSystem32{L"{W}\\system32\\{N}", L"{P}\\{N}"};
const Change kIntoSystem{L"{W}\\system\\{N}", L"{P}\\{N}"};
const Change kWorkingCopy32{L"{P}\\regsvr32.exe", L"{W}\\system32\\regsvr32.exe"};

constexpr Command R = Command::Register;
constexpr Command U = Command::Unregister;
constexpr Command F = Command::LostFocusOnly;
constexpr Command RR = Command::RegisterAcrossARestart;

std::vector<Scenario> AllScenarios() {
    const std::wstring plain = L"Componentes";
    const std::wstring comp = L"comp.ocx";
    const std::wstring blanks = L"Pasta com brancos";
    const std::wstring blankFile = L"meu comp.ocx";
    // clang-format off
    return {
        // Names: blanks, non-ANSI letters, 255-character names, paths past 260 characters.
        {"BlanksRegisterChecked", R, 1, Layout::Modern, Version::Real, blanks, blankFile, Fault::None, false,
         L"", {kReg32 + L"\"{N}\""}, {kIntoSystem32}},
        {"BlanksRegisterUnchecked", R, 0, Layout::Modern, Version::Real, blanks, blankFile, Fault::None, false,
         L"", {kCopyRegQuoted + L"\"{N}\""}, {kWorkingCopy32}},
        {"BlanksRegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, blanks, blankFile, Fault::None, true,
         L"", {kCopyRegQuoted + L"\"{N}\""}, {}},
        {"BlanksUnregisterAbsentThenCleanUp", U, 1, Layout::Modern, Version::Real, blanks, blankFile, Fault::None, true,
         L"", {kCopyUnregQuoted + L"\"{N}\""}, {}},
        {"PortugueseRegisterChecked", R, 1, Layout::Modern, Version::Real, kPortugueseFolder, kPortugueseFile, Fault::None, false,
         L"", {kReg32 + L"{N}"}, {kIntoSystem32}},
        {"PortugueseUnregisterPresent", U, 1, Layout::Modern, Version::Real, kPortugueseFolder, kPortugueseFile, Fault::InSystem, false,
         L"", {kUnreg32 + L"{N}"}, {kIntoSystem32}},
        {"JapaneseRegisterUnchecked", R, 0, Layout::Modern, Version::Real, kJapaneseFolder, kJapaneseFile, Fault::None, false,
         L"", {kCopyRegQuoted + L"{N}"}, {kWorkingCopy32}},
        {"JapaneseUnregisterAbsentThenCleanUp", U, 0, Layout::Modern, Version::Real, kJapaneseFolder, kJapaneseFile, Fault::None, true,
         L"", {kCopyUnregQuoted + L"{N}"}, {}},
        {"Name255RegisterChecked", R, 1, Layout::Modern, Version::Real, plain, kName255, Fault::None, false,
         L"", {kReg32 + L"{N}"}, {kIntoSystem32}},
        {"Name255RegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, plain, kName255, Fault::None, true,
         L"", {kCopyReg + L"{N}"}, {}},
        {"Name255UnregisterPresent", U, 1, Layout::Modern, Version::Real, plain, kName255, Fault::InSystem, false,
         L"", {kUnreg32 + L"{N}"}, {kIntoSystem32}},
        {"PathPast260RegisterChecked", R, 1, Layout::Modern, Version::Real, kFolderPast260, comp, Fault::None, false,
         L"", {kReg32 + L"{N}"}, {kIntoSystem32}},
        // The working copy past MAX_PATH is started by its short path; its command line stays whole.
        {"PathPast260RegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, kFolderPast260, comp, Fault::None,
         true, L"", {kCopyRegQuoted + L"{N}"}, {}},
        {"PathPast260UnregisterAbsentThenCleanUp", U, 1, Layout::Modern, Version::Real, kFolderPast260, comp, Fault::None,
         true, L"", {kCopyUnregQuoted + L"{N}"}, {}},

        // Read-only files.
        {"ComponentReadOnlyRegisterChecked", R, 1, Layout::Modern, Version::Real, plain, comp, Fault::ComponentReadOnly, false,
         L"", {kReg32 + L"{N}"}, {kIntoSystem32}},
        {"ComponentReadOnlyUnregisterPresent", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::ComponentReadOnly, false,
         L"", {kUnreg32 + L"{N}"}, {kIntoSystem32}},
        {"SystemCopyReadOnlyRegisterChecked", R, 1, Layout::Modern, Version::Real, plain, comp, Fault::InSystemReadOnly, false,
         kDenied, {}, {}},
        {"SystemCopyReadOnlyUnregister", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::InSystemReadOnly, false,
         kDenied, {}, {}},

        // Files in use.
        {"ComponentInUseRegisterChecked", R, 1, Layout::Modern, Version::Real, plain, comp, Fault::ComponentInUse, false,
         kDenied, {}, {}},
        {"ComponentInUseRegisterUnchecked", R, 0, Layout::Modern, Version::Real, plain, comp, Fault::ComponentInUse, false,
         L"", {kCopyReg + L"{N}"}, {kWorkingCopy32}},
        {"ComponentInUseUnregisterAbsentThenCleanUp", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::ComponentInUse,
         true, L"", {kCopyUnreg + L"{N}"}, {}},
        {"SystemCopyInUseRegisterChecked", R, 1, Layout::Modern, Version::Real, plain, comp, Fault::InSystemInUse, false,
         kDenied, {}, {}},
        {"SystemCopyInUseUnregister", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::InSystemInUse, false,
         kDenied, {}, {}},

        // No registrar in either system directory.
        {"NoRegistrarRegisterChecked", R, 1, Layout::NoRegistrar, Version::Real, plain, comp, Fault::None, false,
         kNotFound, {}, {kIntoSystem}},
        {"NoRegistrarRegisterUnchecked", R, 0, Layout::NoRegistrar, Version::Real, plain, comp, Fault::None, false,
         kNotFound, {}, {}},
        {"NoRegistrarUnregister", U, 1, Layout::NoRegistrar, Version::Real, plain, comp, Fault::None, false,
         kNotFound, {}, {}},
        {"NoRegistrarNoSystemFolderRegisterChecked", R, 1, Layout::NoRegistrar32, Version::Real, plain, comp, Fault::None, false,
         kPathNotFound, {}, {}},
        {"NoRegistrarNoSystemFolderRegisterUnchecked", R, 0, Layout::NoRegistrar32, Version::Real, plain, comp, Fault::None, false,
         kPathNotFound, {}, {}},
        {"NoRegistrarNoSystemFolderUnregister", U, 1, Layout::NoRegistrar32, Version::Real, plain, comp, Fault::None, false,
         kPathNotFound, {}, {}},

        // The folder shown is the system directory itself.
        {"SystemFolderShownRegisterChecked", R, 1, Layout::Modern, Version::Real, kSystemFolderShown, comp, Fault::None, true,
         L"", {kReg32 + L"{N}"}, {}},
        {"SystemFolderShownRegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, kSystemFolderShown, comp, Fault::None, true,
         L"", {kCopyRegQuoted + L"{N}"}, {}},
        {"SystemFolderShownUnregisterThenCleanUp", U, 1, Layout::Modern, Version::Real, kSystemFolderShown, comp, Fault::None, true,
         L"", {kUnreg32 + L"{N}"}, {}},
        {"SystemFolderShownCleanUpOnly", F, 1, Layout::Modern, Version::Real, kSystemFolderShown, comp, Fault::None, true,
         L"", {}, {}},
        // A copy placed in system, where a modern Windows keeps no registrar, goes like any other:
        // left there, it would turn every later run onto system's route.
        {"NineFolderShownRegisterUncheckedThenRestart", RR, 0, Layout::ModernSystem, Version::Real, kNineFolderShown, comp,
         Fault::None, true, L"", {kCopyRegQuoted + L"{N}", kReg32 + L"{N}"}, {kIntoSystem32}},

        // A foreign regsvr32.exe in the component's folder.
        {"ForeignRegistrarRegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, plain, comp, Fault::ForeignRegistrar, true,
         kExists, {}, {}},
        {"ForeignRegistrarRegisterCheckedThenCleanUp", R, 1, Layout::Modern, Version::Real, plain, comp, Fault::ForeignRegistrar, true,
         L"", {kReg32 + L"{N}"}, {kIntoSystem32}},
        {"ForeignRegistrarUnregisterAbsentThenCleanUp", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::ForeignRegistrar, true,
         kExists, {}, {}},
        {"ForeignRegistrarCleanUpOnly", F, 1, Layout::Modern, Version::Real, plain, comp, Fault::ForeignRegistrar, true,
         L"", {}, {}},

        // A copy of the registrar this run did not place: the user's own in a folder of theirs, or
        // one an earlier run left. It is used as it is and never deleted.
        {"LeftWorkingCopyCleanUpOnly", F, 1, Layout::Modern, Version::Real, plain, comp, Fault::LeftWorkingCopy, true,
         L"", {}, {}},
        {"LeftWorkingCopyRegisterUncheckedThenCleanUp", R, 0, Layout::Modern, Version::Real, plain, comp, Fault::LeftWorkingCopy, true,
         L"", {kCopyReg + L"{N}"}, {}},
        {"LeftWorkingCopyUnregisterAbsentThenCleanUp", U, 1, Layout::Modern, Version::Real, plain, comp, Fault::LeftWorkingCopy, true,
         L"", {kCopyUnreg + L"{N}"}, {}},

        // Families Wine is not reporting, on the layouts those systems had.
        {"Windows98RegisterChecked", R, 1, Layout::Nine, Version::Windows98, kPortugueseFolder, comp, Fault::None, false,
         L"", {kRegSys + L"{N}"}, {kIntoSystem}},
        {"Windows98UnregisterAbsentThenCleanUp", U, 1, Layout::Nine, Version::Windows98, blanks, comp, Fault::None, true,
         L"", {kCopyUnregQuoted + L"{N}", kUnregSys + L"{N}"}, {kIntoSystem}},
        {"WindowsNTRegisterChecked", R, 1, Layout::Both, Version::WindowsNT, plain, blankFile, Fault::None, false,
         L"", {kReg32 + L"\"{N}\""}, {kIntoSystem32}},
    };
    // clang-format on
}

class Scenarios : public ::testing::TestWithParam<Scenario> {
   protected:
    void SetUp() override {
        const Scenario& s = GetParam();
        ASSERT_EQ(scratch.Path().find(L' '), std::wstring::npos) << "the expected command lines assume no blank";
        ASSERT_TRUE(SetEnvironmentVariableW(kStartsVariable, startLog.Path().c_str()));

        registrarBytes = ReadBytes(TestProgramFolder() + L"\\fake_registrar.exe");
        ASSERT_FALSE(registrarBytes.empty());
        const bool has32 = s.layout != Layout::Nine;
        const bool hasSys = s.layout == Layout::Nine || s.layout == Layout::Both || s.layout == Layout::NoRegistrar ||
                            s.layout == Layout::ModernSystem;
        const bool hasRegistrar = s.layout != Layout::NoRegistrar && s.layout != Layout::NoRegistrar32;
        const bool sysRegistrar = hasRegistrar && hasSys && s.layout != Layout::ModernSystem;
        if (has32) MakeFolder(winDir + L"\\system32");
        if (hasSys) MakeFolder(winDir + L"\\system");
        if (hasRegistrar && has32) WriteBytes(winDir + L"\\system32\\regsvr32.exe", registrarBytes);
        if (sysRegistrar) WriteBytes(winDir + L"\\system\\regsvr32.exe", registrarBytes);
        // Other files of the system directory stand by, to be seen untouched. (Not a library: a started
        // program would find it before the system's own.)
        WriteBytes(winDir + (has32 ? L"\\system32" : L"\\system") + L"\\sistema.ini", "[sistema]");

        selection.folder = s.folder == kSystemFolderShown ? winDir + L"\\system32"
                           : s.folder == kNineFolderShown ? winDir + L"\\system"
                                                          : scratch / (L"tree\\" + s.folder);
        selection.file = s.file;
        selection.box = s.box;
        MakeFolder(selection.folder);
        component = selection.folder + L"\\" + s.file;
        WriteBytes(component, kComponentBytes);
        WriteBytes(selection.folder + L"\\outro.ocx", "a neighbour of the component");

        const std::wstring systemCopy = winDir + (has32 ? L"\\system32\\" : L"\\system\\") + s.file;
        switch (s.fault) {
            case Fault::None: break;
            case Fault::ComponentReadOnly:
                ASSERT_TRUE(SetFileAttributesW(Extended(component).c_str(), FILE_ATTRIBUTE_READONLY));
                WriteBytes(systemCopy, kOlderBytes);  // so the unregister command copies over it
                break;
            case Fault::InSystem:
            case Fault::InSystemInUse: WriteBytes(systemCopy, kOlderBytes); break;
            case Fault::InSystemReadOnly:
                WriteBytes(systemCopy, kOlderBytes);
                ASSERT_TRUE(SetFileAttributesW(Extended(systemCopy).c_str(), FILE_ATTRIBUTE_READONLY));
                break;
            case Fault::ComponentInUse: break;
            case Fault::ForeignRegistrar: WriteBytes(selection.folder + L"\\regsvr32.exe", kForeignBytes); break;
            case Fault::LeftWorkingCopy: WriteBytes(selection.folder + L"\\regsvr32.exe", registrarBytes); break;
        }
        inUsePath = s.fault == Fault::ComponentInUse ? component : s.fault == Fault::InSystemInUse ? systemCopy : L"";
    }

    void TearDown() override { SetEnvironmentVariableW(kStartsVariable, nullptr); }

    std::wstring Expanded(const std::wstring& text) const {
        return Expand(text, winDir, selection.folder, selection.file);
    }

    // The snapshot the command must leave: the one before, with exactly the row's changes.
    TreeSnapshot ExpectedAfter(const TreeSnapshot& before) const {
        TreeSnapshot expected = before;
        for (const Change& change : GetParam().changes) {
            const std::wstring key = SnapshotKey(Expanded(change.path));
            if (change.from.empty()) {
                expected.erase(key);
            } else {
                expected[key] = before.at(SnapshotKey(Expanded(change.from)));
            }
        }
        return expected;
    }

    std::vector<std::wstring> LoggedStarts() const { return StartedCommandLines(startLog.Path()); }

    ScratchFolder scratch;
    ScratchFolder startLog;
    const std::wstring winDir = scratch / L"Janelas de teste";
    std::string registrarBytes;
    std::wstring component;
    std::wstring inUsePath;
    RecordingServices services;
    PlainSelection selection;
};

TEST_P(Scenarios, EndsInItsMessageAndChangesOnlyWhatItMeans) {
    const Scenario& s = GetParam();
    ScratchWindowsKernel kernel(winDir, s.version);
    Module1 module{kernel};
    PlacedCopies placed;
    CommandContext context{services, module, selection, placed};
    const WorkingCopySpelling spelling =
        s.command == Command::Unregister ? WorkingCopySpelling::Unregister : WorkingCopySpelling::Register;

    const TreeSnapshot before = SnapshotTree(scratch.Path());
    {
        HeldOpen inUse(inUsePath);
        if (!inUsePath.empty()) {
            ASSERT_TRUE(inUse.Held());
        }
        if (s.command == Command::Register || s.command == Command::RegisterAcrossARestart) RegisterComponent(context);
        if (s.command == Command::Unregister) UnregisterComponent(context);
    }
    if (s.command == Command::RegisterAcrossARestart) {
        const std::wstring copy = selection.folder + L"\\regsvr32.exe";
        EXPECT_TRUE(WaitFor([&] {
            DeleteWorkingCopy(context, spelling);
            return !Exists(copy);
        })) << "the working copy stayed";
        PlacedCopies none;
        CommandContext restarted{services, module, selection, none};
        selection.box = 1;
        RegisterComponent(restarted);
    }

    const std::vector<std::wstring> expectedMessages =
        s.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{s.message};
    EXPECT_EQ(services.messages, expectedMessages) << (services.messages.empty() ? "" : Utf8(services.messages[0]));

    std::vector<std::wstring> expectedStarts;
    for (const std::wstring& line : s.starts) expectedStarts.push_back(Expanded(line));
    EXPECT_EQ(services.starts, expectedStarts) << (services.starts.empty() ? "" : Utf8(services.starts[0]));

    // Every start made a process that saw its command line whole.
    EXPECT_TRUE(WaitFor([&] { return LoggedStarts().size() >= services.starts.size(); }));
    std::vector<std::wstring> logged = LoggedStarts();
    std::vector<std::wstring> made = services.starts;
    std::sort(logged.begin(), logged.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(logged, made);

    // The clean-up runs until the state holds: a working copy may still be running for a moment.
    const TreeSnapshot expected = ExpectedAfter(before);
    TreeSnapshot after;
    WaitFor(
        [&] {
            if (s.cleanUp) DeleteWorkingCopy(context, spelling);
            after = SnapshotTree(scratch.Path());
            return after == expected;
        },
        std::chrono::seconds(s.cleanUp ? 15 : 2));
    EXPECT_EQ(SnapshotDifferences(expected, after), "");
}

INSTANTIATE_TEST_SUITE_P(Table, Scenarios, ::testing::ValuesIn(AllScenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& row) { return row.param.name; });

}  // namespace
}  // namespace tervalux::win32
