// End to end, for every Windows family that Wine can report: the real tervalux.exe is told which
// Windows it runs on, driven by window messages the way a user works it (folder typed into the name
// box, the component clicked in the file list, the check box set, the buttons pressed, the focus
// moved on, "Sair"), and the real results are checked: the files copied or left, byte for byte,
// the registrars started with their command lines, the test component's registry key, and the
// registrar's working copy going on LostFocus and at closing.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/win32/e2e/start_log.h"
#include "tests/win32/gui/app_driver.h"

namespace {

using namespace tervalux::win32::testing;
using std::chrono::seconds;

struct Family {
    const char* version;             // Wine's name for the Windows version
    bool nineX;                      // the prefix is laid out with C:\windows\system and its registrar
    bool system32Family;             // Windows NT and 2000: their family takes system32 first
    const wchar_t* componentFolder;  // the folder the component is picked from
};

// A blank and non-ASCII letters in the folder for some families: the registrar's working copy is
// then named on the command line in quotes, and the registrar must still find the component.
const Family kFamilies[] = {
    {"win95", true, false, L"componentes"},
    {"win98", true, false, L"Componentes \u00e7\u00e3o"},
    {"winme", true, false, L"componentes"},
    {"nt40", false, true, L"Componentes \u00e7\u00e3o"},
    {"win2k", false, true, L"componentes"},
    {"winxp", false, false, L"Componentes \u00e7\u00e3o"},
    {"win10", false, false, L"Componentes \u00e7\u00e3o"},
};

class EndToEnd : public ::testing::TestWithParam<Family> {
   protected:
    void SetUp() override {
        if (!RunningUnderWine()) return CannotRunHere("Wine reports a Windows version per program; Windows does not");
        const Family& family = GetParam();
        SetStringValue(kAppDefaults, L"Version", Widen(family.version));
        DeleteKeyTree(kComponentKey);

        winDir = WindowsDirectory();
        system32 = winDir + L"\\system32";
        system = winDir + L"\\system";
        ASSERT_TRUE(Exists(system32 + L"\\regsvr32.exe"));
        ASSERT_TRUE(RemoveWhenFree(system32 + L"\\" + kComponent));
        // The prefix as Wine makes it has no system folder; one left by an interrupted run of
        // these tests holds only what they put there.
        if (Exists(system)) {
            for (const wchar_t* name : {L"regsvr32.exe", kComponent})
                ASSERT_TRUE(RemoveWhenFree(system + L"\\" + name));
            ASSERT_TRUE(RemoveDirectoryW(system.c_str())) << "C:\\windows\\system holds files of its own";
        }
        if (family.nineX) {
            MakeFolder(system);
            madeSystem = true;
            ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\registrar\\regsvr32.exe").c_str(),
                                  (system + L"\\regsvr32.exe").c_str(), TRUE));
        }
        systemRegistrarBytes = ReadBytes(system32 + L"\\regsvr32.exe");
        nineXRegistrarBytes = ReadBytes(system + L"\\regsvr32.exe");

        folder = scratch / family.componentFolder;
        MakeFolder(folder);
        component = folder + L"\\" + kComponent;
        componentBytes = ReadBytes(TestProgramFolder() + L"\\" + kComponent);
        ASSERT_FALSE(componentBytes.empty());
        WriteBytes(component, componentBytes);
        SetEnvironmentVariableW(kLogVariable, log.Folder().c_str());
    }

    void TearDown() override {
        SetEnvironmentVariableW(kLogVariable, nullptr);
        RemoveWhenFree(system32 + L"\\" + kComponent);
        if (madeSystem) {
            RemoveWhenFree(system + L"\\" + kComponent);
            RemoveWhenFree(system + L"\\regsvr32.exe");
            RemoveDirectoryW(system.c_str());
        }
        DeleteKeyTree(kComponentKey);
        DeleteKeyTree(kAppDefaults);
    }

    // The system directory whose registrar runs: `system` where the 9x layout puts one, else
    // `system32` (Windows NT and 2000 by their family, XP and later because only system32 has one).
    std::wstring RouteDirectory() const { return GetParam().nineX ? system : system32; }
    std::wstring InSystem() const { return RouteDirectory() + L"\\" + kComponent; }

    // Every registrar start is seen by the component it loads; in the 9x layout the logging
    // registrar records the same starts itself, with its exit code.
    void ExpectStarts(const std::vector<std::wstring>& expected, const char* scenario) {
        ExpectStarts(expected, scenario, GetParam().nineX);
    }
    void ExpectStarts(const std::vector<std::wstring>& expected, const char* scenario, bool loggingRegistrar) {
        SCOPED_TRACE(scenario);
        const std::vector<std::wstring> want = Sorted(expected);
        expectedRecords_ = want.size() * (loggingRegistrar ? 2 : 1);
        EXPECT_EQ(log.Commands(L"dll", want.size()), want)
            << "started:" << Show(log.Commands(L"dll", 0)) << "\nexpected:" << Show(want);
        if (loggingRegistrar) {
            EXPECT_EQ(log.Commands(L"reg", want.size()), want);
        }
        for (const Record& record : log.Records()) {
            EXPECT_EQ(Fact(record, L"show"), L"2") << "not minimised: " << Utf8(Fact(record, L"command"));
            if (record.writer == L"reg") {
                EXPECT_EQ(Fact(record, L"exit"), L"0");
            }
        }
    }

    // Waits until every registrar has ended and let go of the files, and no message box showed.
    void Settle(const Running& app, const std::vector<std::wstring>& heldFiles) {
        for (const auto& path : heldFiles) {
            if (Exists(path)) {
                EXPECT_TRUE(WaitFor([&] { return ExistsUnheld(path); })) << Utf8(path) << " stays held";
            }
        }
        app.ExpectNoMessage();
    }

    // Records beyond those the scenario expected are registrars it should not have started.
    void NextScenario() {
        const std::vector<Record> records = log.Records();
        if (records.size() > expectedRecords_) {
            std::vector<std::wstring> commands;
            for (const Record& record : records) commands.push_back(record.writer + L": " + Fact(record, L"command"));
            ADD_FAILURE() << "extra starts; all records:" << Show(Sorted(commands));
        }
        expectedRecords_ = 0;
        log.Clear();
    }

    ScratchFolder scratch;
    StartLog log{scratch / L"starts"};
    std::wstring winDir, system32, system, folder, component;
    std::string componentBytes, systemRegistrarBytes, nineXRegistrarBytes;
    bool madeSystem = false;
    std::size_t expectedRecords_ = 0;
};

TEST_P(EndToEnd, RegisterAndUnregisterThroughTheWindow) {
    const std::wstring name = kComponent;
    const std::wstring workingCopy = folder + L"\\regsvr32.exe";
    const std::wstring routeRegistrar = RouteDirectory() + L"\\regsvr32.exe";
    const std::string routeRegistrarBytes = ReadBytes(routeRegistrar);

    Running app;
    ASSERT_NE(app.Form(), nullptr);
    ASSERT_EQ(app.Children().size(), layout::kControlCount);
    const HWND fileList = app.Control("File");
    const HWND cmdReg = app.Control("cmdReg");
    const HWND cmdDes = app.Control("CmdDes");
    const HWND txtarq = app.Control("txtarq");
    const HWND cmdSair = app.Control("CmdSair");
    const HWND chkDir = app.Control("ChkDir");

    // The user types the folder into the name box and presses Enter: the file list moves there and
    // shows the one component; a click on it puts its name into the box.
    ASSERT_TRUE(EnterInBox(txtarq, folder));
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(fileList, LB_GETCOUNT, 0, 0) == 1; }, seconds(10)));
    SendMessageW(fileList, LB_SETCURSEL, 0, 0);
    SendMessageW(app.Form(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(fileList), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(fileList));
    ASSERT_EQ(TextOf(txtarq), name);
    ASSERT_EQ(SendMessageW(chkDir, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Registrar, box checked: the component is copied into the system directory and that
    // directory's registrar registers it there.
    PostMessageW(cmdReg, BM_CLICK, 0, 0);
    ExpectStarts({Quoted(routeRegistrar) + L" " + name}, "register, box checked");
    EXPECT_TRUE(WaitFor([] { return KeyExists(kComponentKey); })) << "not registered";
    EXPECT_EQ(_wcsicmp(StringValue(kComponentKey, L"LoadedFrom").c_str(), InSystem().c_str()), 0)
        << Utf8(StringValue(kComponentKey, L"LoadedFrom"));
    EXPECT_EQ(ReadBytes(InSystem()), componentBytes);
    EXPECT_FALSE(Exists(workingCopy));
    Settle(app, {InSystem()});
    NextScenario();

    // Desrregistrar with the component in the system directory, where a program that uses it holds
    // it open for reading: the file there already has the component's bytes, so nothing is written
    // over it, and the system's registrar unregisters it; the 9x route starts it twice.
    const std::wstring unregisterInSystem = Quoted(routeRegistrar) + L" /u " + name;
    {
        HeldOpen inUse(InSystem(), FILE_SHARE_READ);
        ASSERT_TRUE(inUse.Held());
        PostMessageW(cmdDes, BM_CLICK, 0, 0);
        if (GetParam().nineX) {
            ExpectStarts({unregisterInSystem, unregisterInSystem}, "unregister, in the system directory");
        } else {
            ExpectStarts({unregisterInSystem}, "unregister, in the system directory");
        }
        EXPECT_TRUE(WaitFor([] { return !KeyExists(kComponentKey); })) << "not unregistered";
    }
    EXPECT_EQ(ReadBytes(InSystem()), componentBytes);
    EXPECT_FALSE(Exists(workingCopy));
    Settle(app, {InSystem()});
    NextScenario();

    // The user takes the component out of the system directory again.
    ASSERT_TRUE(RemoveWhenFree(InSystem()));

    // Registrar, box cleared: the registrar is copied beside the component and runs from there;
    // moving the focus on from the button deletes the copy.
    ASSERT_TRUE(SetCheckBox(chkDir, BST_UNCHECKED));
    PostMessageW(cmdReg, BM_CLICK, 0, 0);
    ExpectStarts({Quoted(workingCopy) + L" " + name}, "register, box cleared");
    EXPECT_TRUE(WaitFor([] { return KeyExists(kComponentKey); })) << "not registered";
    EXPECT_EQ(_wcsicmp(StringValue(kComponentKey, L"LoadedFrom").c_str(), component.c_str()), 0)
        << Utf8(StringValue(kComponentKey, L"LoadedFrom"));
    EXPECT_EQ(ReadBytes(workingCopy), routeRegistrarBytes) << "not a copy of the route's registrar";
    EXPECT_EQ(StoredName(workingCopy), L"regsvr32.exe");
    EXPECT_FALSE(Exists(system32 + L"\\" + kComponent));
    EXPECT_FALSE(Exists(system + L"\\" + kComponent));
    Settle(app, {workingCopy, component});
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(cmdReg); }, seconds(10)));
    app.PressTab(cmdReg);
    EXPECT_TRUE(WaitFor([&] { return !Exists(workingCopy); }, seconds(20))) << "LostFocus left the working copy";
    NextScenario();

    // Desrregistrar with the component not in the system directory: the registrar's working copy,
    // spelled in capitals, unregisters it beside it; the 9x route then copies the component into
    // the system directory and unregisters it there as well. LostFocus deletes the copy.
    const std::wstring workingCopyUpper = folder + L"\\REGSVR32.EXE";
    PostMessageW(cmdDes, BM_CLICK, 0, 0);
    const std::wstring unregisterBeside = Quoted(workingCopyUpper) + L" /U " + name;
    if (GetParam().nineX) {
        ExpectStarts({unregisterBeside, unregisterInSystem}, "unregister, not in the system directory");
        EXPECT_EQ(ReadBytes(InSystem()), componentBytes);
    } else {
        ExpectStarts({unregisterBeside}, "unregister, not in the system directory");
        EXPECT_FALSE(Exists(InSystem()));
    }
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kComponentKey); })) << "not unregistered";
    EXPECT_EQ(ReadBytes(workingCopyUpper), routeRegistrarBytes);
    EXPECT_EQ(StoredName(workingCopyUpper), L"REGSVR32.EXE");
    Settle(app, {workingCopyUpper, component, InSystem()});
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(cmdDes); }, seconds(10)));
    app.PressTab(cmdDes);
    EXPECT_TRUE(WaitFor([&] { return !Exists(workingCopyUpper); }, seconds(20))) << "LostFocus left the working copy";
    NextScenario();

    // Closing: with the focus in the name box, "Registrar" is pressed without moving the focus
    // (box still cleared), so the working copy stays until "Sair" closes the window.
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(txtarq); }, seconds(10)));
    SendMessageTimeoutW(app.Form(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cmdReg), BN_CLICKED),
                        reinterpret_cast<LPARAM>(cmdReg), SMTO_NORMAL, 10000, nullptr);
    ExpectStarts({Quoted(workingCopy) + L" " + name}, "register before closing");
    EXPECT_TRUE(WaitFor([] { return KeyExists(kComponentKey); })) << "not registered";
    Settle(app, {workingCopy, component});
    EXPECT_TRUE(Exists(workingCopy)) << "gone before closing";
    EXPECT_TRUE(app.FocusOn(txtarq));
    NextScenario();
    PostMessageW(cmdSair, BM_CLICK, 0, 0);
    DWORD exitCode = 1234;
    EXPECT_TRUE(app.Ended(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(Exists(workingCopy)) << "closing left the working copy";

    // Nothing else lost or changed: the component, and the system's registrars.
    EXPECT_EQ(ReadBytes(component), componentBytes);
    EXPECT_EQ(ReadBytes(system32 + L"\\regsvr32.exe"), systemRegistrarBytes);
    EXPECT_EQ(ReadBytes(system + L"\\regsvr32.exe"), nineXRegistrarBytes);
    NextScenario();
}

// With a registrar in both system directories, the family alone chooses: system32 for Windows NT
// and 2000, system for every other family. This shows that the version Wine reports reaches the
// program, which the layouts above cannot tell apart for the families after 9x.
TEST_P(EndToEnd, FamilyChoosesTheDirectoryWhenBothHaveARegistrar) {
    if (!madeSystem) {
        MakeFolder(system);
        madeSystem = true;
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\registrar\\regsvr32.exe").c_str(),
                              (system + L"\\regsvr32.exe").c_str(), TRUE));
    }
    const std::wstring chosen = GetParam().system32Family ? system32 : system;
    const std::wstring other = GetParam().system32Family ? system : system32;

    Running app;
    ASSERT_NE(app.Form(), nullptr);
    ASSERT_EQ(app.Children().size(), layout::kControlCount);
    ASSERT_TRUE(EnterInBox(app.Control("txtarq"), folder));
    ASSERT_TRUE(EnterInBox(app.Control("txtarq"), kComponent));  // Enter with a file's name selects it
    PostMessageW(app.Control("cmdReg"), BM_CLICK, 0, 0);
    ExpectStarts({chosen + L"\\regsvr32.exe " + kComponent}, "register, box checked", !GetParam().system32Family);
    EXPECT_TRUE(WaitFor([] { return KeyExists(kComponentKey); })) << "not registered";
    EXPECT_EQ(ReadBytes(chosen + L"\\" + kComponent), componentBytes);
    EXPECT_FALSE(Exists(other + L"\\" + kComponent));
    Settle(app, {chosen + L"\\" + kComponent});
    NextScenario();
    PostMessageW(app.Form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

INSTANTIATE_TEST_SUITE_P(Families, EndToEnd, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<Family>& param) {
                             return std::string(param.param.version);
                         });

}  // namespace
