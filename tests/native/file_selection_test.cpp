// Form1's file-picking handlers, driven through the controls as the user and the program drive
// them, on the in-memory platform.
#include "app/file_selection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/runtime_error.h"
#include "tests/native/file_selection_picker.h"
#include "tests/support/components.h"

namespace tervalux::app {
namespace {

const std::wstring kNotReady = L"O Dispositivo n\u00e3o est\u00e1 pronto";
const std::wstring kNotAProgram = L"Verifique se o arquivo que est\u00e1 tentando executar \u00e9 um aplicativo '.exe'";
const std::wstring kFileNotFound = L"Arquivo n\u00e3o encontrado";
const std::wstring kComponents = testing::ComponentPattern();

using testing::Picker;

// ---- The chain drive -> folder -> file, as it nests

TEST(FileSelectionChain, NestedHandlerRunsMatchTheExpectedTables) {
    struct Case {
        const char* name;
        wchar_t currentDrive;
        std::function<void(Picker&)> act;
        std::vector<std::wstring> expected;
    };
    const std::vector<Case> cases = {
        {"load on drive C", L'C', [](Picker&) {}, {L"Form_Load", L"  Dir_Change"}},
        {"load on drive D",
         L'D',
         [](Picker&) {},
         {L"Form_Load", L"  Dir_Change", L"  Drive_Change", L"    Dir_Change"}},
        {"ready drive", L'C', [](Picker& p) { p.ChooseDrive(L'd'); }, {L"Drive_Change", L"  Dir_Change"}},
        {"drive not ready",
         L'C',
         [](Picker& p) { p.ChooseDrive(L'e'); },
         {L"Drive_Change", L"  message: " + kNotReady, L"  Dir_Change", L"  Drive_Change", L"    Dir_Change"}},
        {"target gone after another drive",
         L'C',
         [](Picker& p) {
             p.ChooseDrive(L'd');
             p.log.clear();
             p.ChooseDrive(L'g');
         },
         {L"Drive_Change", L"  message: " + kNotReady, L"  Dir_Change", L"  Drive_Change", L"    Dir_Change"}},
        {"folder opened", L'C', [](Picker& p) { p.OpenFolder(L"Sub"); }, {L"Dir_Change"}},
        {"file clicked", L'C', [](Picker& p) { p.ClickFile(L"a.ocx"); }, {L"File_Click"}},
    };
    for (const Case& c : cases) {
        Picker p;
        p.queries.currentDrive = c.currentDrive;
        if (c.expected.front() != L"Form_Load") {
            p.Load();
            p.log.clear();
        }
        if (c.expected.front() == L"Form_Load") p.Load();
        c.act(p);
        EXPECT_EQ(p.log, c.expected) << c.name;
        EXPECT_EQ(p.host.ended, 0) << c.name;
    }
}

// ---- Drive_Change

TEST(DriveChange, ADriveNotReadyShowsOneMessageAndGoesBackToDriveC) {
    for (const wchar_t drive : {L'e', L'g'}) {
        for (const bool otherDriveFirst : {false, true}) {
            Picker p;
            p.Load();
            if (otherDriveFirst) p.ChooseDrive(L'd');
            p.ChooseDrive(drive);
            EXPECT_EQ(p.platform.messages, std::vector<std::wstring>{kNotReady});
            EXPECT_EQ(p.Drive().Drive(), L"c:");
            EXPECT_EQ(p.Dir().Path(), L"c:\\");
            EXPECT_EQ(p.File().Path(), L"c:\\");
            EXPECT_EQ(p.File().Pattern(), kComponents);
            EXPECT_EQ(p.Shown(), (std::vector<std::wstring>{L"a.ocx", L"b.dll"}));
        }
    }
}

TEST(DriveChange, AReadyDriveMovesFolderAndFileListsToItsRoot) {
    Picker p;
    p.Load();
    p.File().SetPattern(L"*.*");
    p.ChooseDrive(L'd');
    EXPECT_TRUE(p.platform.messages.empty());
    EXPECT_EQ(p.Drive().Drive(), L"d: [DADOS]");
    EXPECT_EQ(p.Dir().Path(), L"d:\\");
    EXPECT_EQ(p.File().Path(), L"d:\\");
    EXPECT_EQ(p.File().Pattern(), kComponents);
    EXPECT_EQ(p.Shown(), std::vector<std::wstring>{L"d1.ocx"});
}

TEST(DriveChange, DriveCItselfNotReadyInTheFallbackReachesTheDefaultHandling) {
    Picker p;
    p.Load();
    p.queries.SetNotReady(L'C');
    p.ChooseDrive(L'e');
    ASSERT_EQ(p.platform.messages.size(), 2u);
    EXPECT_EQ(p.platform.messages[0], kNotReady);
    EXPECT_EQ(p.platform.messages[1], rt::UntrappedErrorText(RuntimeError(err::DiskNotReady)));
    EXPECT_EQ(p.host.ended, 1);
}

// ---- Dir_Change

TEST(DirChange, AFolderChangeMovesTheFileListSetsThePatternAndLeavesTheBox) {
    Picker p;
    p.Load();
    p.txtarq().SetText(L"digitado.ocx");
    p.File().SetPattern(L"*.txt");
    p.OpenFolder(L"Sub");
    EXPECT_EQ(p.File().Path(), L"c:\\Sub");
    EXPECT_EQ(p.File().Pattern(), kComponents);
    EXPECT_EQ(p.Shown(), std::vector<std::wstring>{L"x.ocx"});
    EXPECT_EQ(p.txtarq().Text(), L"digitado.ocx");
    EXPECT_EQ(p.Drive().Drive(), L"c:");  // nothing runs the chain backwards
}

TEST(DirChange, AnErrorReachesTheDefaultHandling) {
    Picker p;
    p.Load();
    // The folder list can read the folder, the file list then cannot.
    p.queries.beforeQuery = [&](const std::wstring& folder) {
        if (folder == L"c:\\Sub" && p.Dir().Path() == L"c:\\Sub") throw RuntimeError(err::PermissionDenied);
    };
    p.OpenFolder(L"Sub");
    EXPECT_EQ(p.platform.messages,
              std::vector<std::wstring>{rt::UntrappedErrorText(RuntimeError(err::PermissionDenied))});
    EXPECT_EQ(p.host.ended, 1);
}

// ---- File_Click

TEST(FileClick, PutsTheBareNameIntoTheBox) {
    Picker p;
    p.Load();
    p.OpenFolder(L"Sub");
    p.ClickFile(L"x.ocx");
    EXPECT_EQ(p.txtarq().Text(), L"x.ocx");
    EXPECT_EQ(p.File().FileName(), L"x.ocx");
}

// ---- File_DblClick

TEST(FileDblClick, StartsTheJoinedPathOrExplainsWhatFailed) {
    struct Case {
        const char* name;
        const wchar_t* folder;  // opened from c:\ first; empty stays at the root
        const wchar_t* pattern;
        const wchar_t* file;  // clicked first; empty clicks nothing
        std::vector<fake::ProgramStart> starts;
        std::vector<std::wstring> messages;
    };
    const Case cases[] = {
        {"component", L"", kComponents.c_str(), L"a.ocx", {}, {kNotAProgram}},
        {"program at the root: two backslashes",
         L"",
         L"*.exe",
         L"prog.exe",
         {{L"c:\\\\prog.exe", L"c:\\\\prog.exe", WindowStyle::NormalWithFocus, L""}},
         {}},
        {"program in a folder with a blank: quoted command line",
         L"Arquivos de Programas",
         L"*.exe",
         L"app.exe",
         {{L"c:\\Arquivos de Programas\\app.exe", L"\"c:\\Arquivos de Programas\\app.exe\"",
           WindowStyle::NormalWithFocus, L""}},
         {}},
        {"nothing selected: another error, no message", L"", kComponents.c_str(), L"", {}, {}},
    };
    for (const Case& c : cases) {
        Picker p;
        p.Load();
        if (*c.folder) p.OpenFolder(c.folder);
        p.File().SetPattern(c.pattern);
        if (*c.file) p.ClickFile(c.file);
        p.File().UserDblClick();
        EXPECT_EQ(p.platform.starts, c.starts) << c.name;
        EXPECT_EQ(p.platform.messages, c.messages) << c.name;
        EXPECT_EQ(p.host.ended, 0) << c.name;
    }
}

TEST(FileDblClick, OtherErrorNumbersShowNothingAndChangeNothing) {
    Picker p;
    p.Load();
    p.File().SetPattern(L"*.exe");
    p.ClickFile(L"prog.exe");
    p.platform.Fail(fake::Op::Start, L"c:\\prog.exe", err::PermissionDenied);
    p.File().UserDblClick();
    EXPECT_TRUE(p.platform.messages.empty());
    EXPECT_TRUE(p.platform.starts.empty());
    EXPECT_EQ(p.File().FileName(), L"prog.exe");
    EXPECT_EQ(p.host.ended, 0);
}

// ---- txtarq_KeyPress

TEST(TxtarqKeyPress, KeysOtherThanEnterOnlyEditTheBox) {
    Picker p;
    p.Load();
    p.ClickFile(L"a.ocx");
    p.txtarq().SetText(L"b.dll");
    for (const std::int16_t key : {std::int16_t{'b'}, std::int16_t{10}, std::int16_t{27}, std::int16_t{8}}) {
        EXPECT_EQ(p.Key(key), key);
    }
    EXPECT_EQ(p.File().FileName(), L"a.ocx");
    EXPECT_EQ(p.File().Path(), L"c:\\");
    EXPECT_TRUE(p.platform.messages.empty());
}

TEST(TxtarqKeyPress, EnterHandsTheTypedTextToTheFileList) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* path;
        const wchar_t* pattern;
        const wchar_t* fileName;
        bool refused;
    };
    const Case cases[] = {
        {L"b.dll", L"c:\\", kComponents.c_str(), L"b.dll", false},
        {L"B.DLL", L"c:\\", kComponents.c_str(), L"b.dll", false},
        {L"c:\\Sub", L"c:\\Sub", kComponents.c_str(), L"", false},
        // A drive mapped by the user is not in an elevated program's drive list; its share is reached so.
        {L"\\\\servidor\\comp\\ocx", L"\\\\servidor\\comp\\ocx", kComponents.c_str(), L"", false},
        {L"*.exe", L"c:\\", L"*.exe", L"", false},
        {L"nada.ocx", L"c:\\", kComponents.c_str(), L"a.ocx", true},
        {L"leia.txt", L"c:\\", kComponents.c_str(), L"a.ocx", true},
        {L"e:\\", L"c:\\", kComponents.c_str(), L"a.ocx", true},
        {L"", L"c:\\", kComponents.c_str(), L"a.ocx", true},
    };
    for (const Case& c : cases) {
        Picker p;
        p.Load();
        p.ClickFile(L"a.ocx");
        p.txtarq().SetText(c.typed);
        EXPECT_EQ(p.Key(13), 13);
        EXPECT_EQ(p.File().Path(), c.path) << c.typed;
        EXPECT_EQ(p.File().Pattern(), c.pattern) << c.typed;
        EXPECT_EQ(p.File().FileName(), c.fileName) << c.typed;
        EXPECT_EQ(p.txtarq().Text(), c.typed);
        EXPECT_EQ(p.platform.messages,
                  c.refused ? std::vector<std::wstring>{kFileNotFound} : std::vector<std::wstring>{})
            << c.typed;
    }
}

}  // namespace
}  // namespace tervalux::app

namespace tervalux::app {
namespace {

// The folder the file list shows disappears behind its back: every action on the stale list ends
// in a message or silence, the program keeps running, and nothing is copied or started.
TEST(StaleFolder, AFolderRemovedWhileShownGivesClearErrorsAndLosesNothing) {
    struct Case {
        const char* name;
        std::function<void(Picker&)> act;
        std::vector<std::wstring> messages;
    };
    const std::vector<Case> cases = {
        {"Registrar", [](Picker& p) { p.code->cmdReg().UserClick(); }, {L"Caminho n\u00e3o encontrado 76"}},
        {"Desrregistrar", [](Picker& p) { p.code->CmdDes().UserClick(); }, {L"Caminho n\u00e3o encontrado 76"}},
        {"double click", [](Picker& p) { p.File().UserDblClick(); }, {}},
        {"Enter with the shown name",
         [](Picker& p) {
             p.txtarq().SetText(L"x.ocx");
             p.Key(13);
         },
         {}},
    };
    for (const Case& c : cases) {
        Picker p;
        p.platform.fs.AddFile(L"C:\\WINDOWS\\system\\regsvr32.exe", "REGSVR32");
        p.Load();
        p.OpenFolder(L"Sub");
        p.ClickFile(L"x.ocx");
        p.platform.fs.Remove(L"C:\\Sub");
        p.platform.messages.clear();
        c.act(p);
        EXPECT_EQ(p.platform.messages, c.messages) << c.name;
        EXPECT_TRUE(p.platform.starts.empty()) << c.name;
        EXPECT_EQ(p.host.ended, 0) << c.name;
        EXPECT_TRUE(p.platform.fs.IsFile(L"C:\\WINDOWS\\system\\regsvr32.exe")) << c.name;
        EXPECT_FALSE(p.platform.fs.IsFile(L"C:\\WINDOWS\\system\\x.ocx")) << c.name;
    }
}

}  // namespace
}  // namespace tervalux::app
