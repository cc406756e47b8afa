// End to end on a 64-bit system: the real x64 tervalux.exe, driven by window messages, with a 32-bit
// component (a real i686 image) and a 64-bit one in the same prefix. The 32-bit one must go to
// SysWOW64 and its registrar, every way the commands have; the 64-bit one to system32 and the real
// registrar. Wine here has no 32-bit support, so SysWOW64's registrar is a logging stand-in that
// also tells whether it finds the component from the folder it was started in. Each case compares
// the files of SysWOW64 and of the component's folder before and after.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/e2e/start_log.h"
#include "tests/win32/gui/app_driver.h"
#include "tests/win32/scenarios/tree_snapshot.h"

namespace {

using namespace tervalux::win32::testing;
using std::chrono::seconds;

constexpr wchar_t kComponent32[] = L"tvxcomp32.dll";
constexpr const wchar_t* kComponent64 = kComponent;

// The form's controls the cases work.
struct Controls {
    HWND cmdReg, cmdDes, txtarq, cmdSair, chkDir;
};

class SixtyFourBitEndToEnd : public ::testing::Test {
   protected:
    void SetUp() override {
        if (!RunningUnderWine()) return CannotRunHere("the stand-in registrar is installed into Wine's own SysWOW64");
        winDir = WindowsDirectory();
        sysWow64 = winDir + L"\\SysWOW64";  // as the program spells it; the file system ignores case
        system32 = winDir + L"\\system32";
        ASSERT_TRUE(Exists(system32 + L"\\regsvr32.exe"));
        ASSERT_EQ(GetFileAttributesW(sysWow64.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY)
            << "a 64-bit prefix has a SysWOW64 folder";
        for (const wchar_t* name : {L"regsvr32.exe", kComponent32})
            ASSERT_TRUE(RemoveWhenFree(sysWow64 + L"\\" + name));
        ASSERT_TRUE(RemoveWhenFree(system32 + L"\\" + kComponent64));
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\standin\\regsvr32.exe").c_str(),
                              (sysWow64 + L"\\regsvr32.exe").c_str(), TRUE));
        standInBytes = ReadBytes(sysWow64 + L"\\regsvr32.exe");
        system32RegistrarBytes = ReadBytes(system32 + L"\\regsvr32.exe");

        SetStringValue(kAppDefaults, L"Version", L"win10");
        DeleteKeyTree(kComponentKey);
        folder = scratch / L"Componentes 32 e 64";
        MakeFolder(folder);
        for (const wchar_t* name : {kComponent32, kComponent64}) {
            const std::string bytes = ReadBytes(TestProgramFolder() + L"\\" + name);
            ASSERT_FALSE(bytes.empty()) << Utf8(name) << " not built beside the test";
            WriteBytes(folder + L"\\" + name, bytes);
        }
        component32Bytes = ReadBytes(folder + L"\\" + kComponent32);
        SetEnvironmentVariableW(kLogVariable, log.Folder().c_str());
        folderBefore = SnapshotTree(folder);
        sysWow64Before = SnapshotTree(sysWow64);
    }

    void TearDown() override {
        SetEnvironmentVariableW(kLogVariable, nullptr);
        for (const wchar_t* name : {L"regsvr32.exe", kComponent32}) RemoveWhenFree(sysWow64 + L"\\" + name);
        RemoveWhenFree(system32 + L"\\" + kComponent64);
        DeleteKeyTree(kComponentKey);
        DeleteKeyTree(kAppDefaults);
    }

    // Starts the program and picks `name` in the component's folder by typing into the name box.
    [[nodiscard]] bool Pick(Running& app, const wchar_t* name, Controls& controls) {
        if (app.Form() == nullptr || app.Children().size() != layout::kControlCount) return false;
        controls = {app.Control("cmdReg"), app.Control("CmdDes"), app.Control("txtarq"), app.Control("CmdSair"),
                    app.Control("ChkDir")};
        return EnterInBox(controls.txtarq, folder) && EnterInBox(controls.txtarq, name) &&
               TextOf(controls.txtarq) == name;
    }

    // The one start the stand-in recorded: its command line, its folder, and that it found the
    // component from there.
    void ExpectStandInStart(const std::wstring& commandLine, const std::wstring& startFolder, const char* scenario) {
        SCOPED_TRACE(scenario);
        EXPECT_EQ(log.Commands(L"reg", 1), std::vector<std::wstring>{commandLine});
        const std::vector<Record> records = log.Records();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(_wcsicmp(Fact(records[0], L"folder").c_str(), startFolder.c_str()), 0)
            << Utf8(Fact(records[0], L"folder"));
        EXPECT_EQ(Fact(records[0], L"finds"), L"1") << "the registrar cannot find the component from its folder";
        EXPECT_EQ(Fact(records[0], L"show"), L"2");
        log.Clear();
    }

    // SysWOW64 as before, plus the component copied into it when `withComponent`.
    void ExpectSysWow64(bool withComponent) {
        TreeSnapshot expected = sysWow64Before;
        if (withComponent) expected[SnapshotKey(sysWow64 + L"\\" + kComponent32)] = component32Bytes;
        EXPECT_EQ(SnapshotDifferences(expected, SnapshotTree(sysWow64)), "");
        EXPECT_EQ(ReadBytes(system32 + L"\\regsvr32.exe"), system32RegistrarBytes);
        EXPECT_FALSE(Exists(system32 + L"\\" + kComponent32));
    }

    void ExpectFolderUnchanged() { EXPECT_EQ(SnapshotDifferences(folderBefore, SnapshotTree(folder)), ""); }

    ScratchFolder scratch;
    StartLog log{scratch / L"starts"};
    std::wstring winDir, sysWow64, system32, folder;
    std::string standInBytes, system32RegistrarBytes, component32Bytes;
    TreeSnapshot folderBefore, sysWow64Before;
};

TEST_F(SixtyFourBitEndToEnd, BoxTickedRegistersAndUnregistersInSysWow64) {
    Running app;
    Controls c{};
    ASSERT_TRUE(Pick(app, kComponent32, c));
    ASSERT_EQ(SendMessageW(c.chkDir, BM_GETCHECK, 0, 0), BST_CHECKED);

    PostMessageW(c.cmdReg, BM_CLICK, 0, 0);
    ExpectStandInStart(sysWow64 + L"\\regsvr32.exe tvxcomp32.dll", sysWow64, "register, box ticked");
    ExpectSysWow64(true);
    ExpectFolderUnchanged();
    app.ExpectNoMessage();

    // The component now lies in SysWOW64: copied there again and unregistered by its registrar.
    PostMessageW(c.cmdDes, BM_CLICK, 0, 0);
    ExpectStandInStart(sysWow64 + L"\\regsvr32.exe /u tvxcomp32.dll", sysWow64, "unregister, in SysWOW64");
    ExpectSysWow64(true);
    ExpectFolderUnchanged();
    app.ExpectNoMessage();
    PostMessageW(c.cmdSair, BM_CLICK, 0, 0);
    EXPECT_TRUE(app.Ended());
}

TEST_F(SixtyFourBitEndToEnd, BoxUncheckedCopiesSysWow64sRegistrarBesideAndCleansItUp) {
    Running app;
    Controls c{};
    ASSERT_TRUE(Pick(app, kComponent32, c));
    ASSERT_TRUE(SetCheckBox(c.chkDir, BST_UNCHECKED));

    const std::wstring workingCopy = folder + L"\\regsvr32.exe";
    PostMessageW(c.cmdReg, BM_CLICK, 0, 0);
    ExpectStandInStart(Quoted(workingCopy) + L" tvxcomp32.dll", folder, "register, box unchecked");
    EXPECT_EQ(ReadBytes(workingCopy), standInBytes) << "not a copy of SysWOW64's registrar";
    ExpectSysWow64(false);
    app.ExpectNoMessage();
    // Moving the focus on deletes the working copy: its bytes are SysWOW64's registrar's.
    ASSERT_TRUE(WaitFor([&] { return ExistsUnheld(workingCopy); }));
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(c.cmdReg); }, seconds(10)));
    app.PressTab(c.cmdReg);
    EXPECT_TRUE(WaitFor([&] { return !Exists(workingCopy); }, seconds(20))) << "LostFocus left the working copy";
    ExpectFolderUnchanged();

    // Unregister with the component absent from SysWOW64: SysWOW64's registrar, copied beside it.
    const std::wstring workingCopyUpper = folder + L"\\REGSVR32.EXE";
    PostMessageW(c.cmdDes, BM_CLICK, 0, 0);
    ExpectStandInStart(Quoted(workingCopyUpper) + L" /U tvxcomp32.dll", folder, "unregister, not in SysWOW64");
    EXPECT_EQ(ReadBytes(workingCopyUpper), standInBytes);
    ExpectSysWow64(false);
    app.ExpectNoMessage();
    ASSERT_TRUE(WaitFor([&] { return ExistsUnheld(workingCopyUpper); }));
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(c.cmdDes); }, seconds(10)));
    app.PressTab(c.cmdDes);
    EXPECT_TRUE(WaitFor([&] { return !Exists(workingCopyUpper); }, seconds(20))) << "LostFocus left the working copy";
    ExpectFolderUnchanged();
    PostMessageW(c.cmdSair, BM_CLICK, 0, 0);
    EXPECT_TRUE(app.Ended());
}

// In the same prefix, a 64-bit component still goes to system32 and is registered there for real.
TEST_F(SixtyFourBitEndToEnd, SixtyFourBitComponentGoesToSystem32AndIsRegistered) {
    Running app;
    Controls c{};
    ASSERT_TRUE(Pick(app, kComponent64, c));
    PostMessageW(c.cmdReg, BM_CLICK, 0, 0);
    EXPECT_EQ(log.Commands(L"dll", 1), std::vector<std::wstring>{system32 + L"\\regsvr32.exe tvxcomp.dll"});
    EXPECT_TRUE(WaitFor([] { return KeyExists(kComponentKey); })) << "not registered";
    EXPECT_EQ(_wcsicmp(StringValue(kComponentKey, L"LoadedFrom").c_str(), (system32 + L"\\tvxcomp.dll").c_str()), 0)
        << Utf8(StringValue(kComponentKey, L"LoadedFrom"));
    EXPECT_TRUE(WaitFor([&] { return ExistsUnheld(system32 + L"\\tvxcomp.dll"); }));
    log.Clear();

    PostMessageW(c.cmdDes, BM_CLICK, 0, 0);
    EXPECT_EQ(log.Commands(L"dll", 1), std::vector<std::wstring>{system32 + L"\\regsvr32.exe /u tvxcomp.dll"});
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kComponentKey); })) << "not unregistered";
    EXPECT_TRUE(WaitFor([&] { return ExistsUnheld(system32 + L"\\tvxcomp.dll"); }));
    EXPECT_EQ(log.Commands(L"reg", 0), std::vector<std::wstring>{}) << "SysWOW64's registrar was started";
    ExpectSysWow64(false);
    ExpectFolderUnchanged();
    app.ExpectNoMessage();
    PostMessageW(c.cmdSair, BM_CLICK, 0, 0);
    EXPECT_TRUE(app.Ended());
}

// A 64-bit prefix without 32-bit support: SysWOW64 has no registrar, and the command says so rather
// than handing the 32-bit component to system32's registrar.
TEST_F(SixtyFourBitEndToEnd, NoRegistrarInSysWow64IsFileNotFound) {
    ASSERT_TRUE(RemoveWhenFree(sysWow64 + L"\\regsvr32.exe"));
    sysWow64Before = SnapshotTree(sysWow64);
    Running app;
    Controls c{};
    ASSERT_TRUE(Pick(app, kComponent32, c));
    for (const LRESULT box : {BST_UNCHECKED, BST_CHECKED}) {
        SCOPED_TRACE(box == BST_CHECKED ? "box ticked" : "box unchecked");
        ASSERT_TRUE(SetCheckBox(c.chkDir, box));
        PostMessageW(c.cmdReg, BM_CLICK, 0, 0);
        ASSERT_TRUE(app.ExpectMessage(L"Arquivo n\u00e3o encontrado 53"));
        // With the box ticked the component is copied before the registrar is looked for, as it
        // always has been when a registrar is missing; nothing is undone.
        ExpectSysWow64(box == BST_CHECKED);
        ExpectFolderUnchanged();
    }
    EXPECT_EQ(log.Records().size(), 0u) << "a registrar was started";
    PostMessageW(c.cmdSair, BM_CLICK, 0, 0);
    EXPECT_TRUE(app.Ended());
}

}  // namespace
