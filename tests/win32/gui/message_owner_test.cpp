// A message box holds the window even while another program has the activation: a registrar
// started minimised with the focus leaves the program without an active window, and a box raised
// then must still belong to the form, so that the form is disabled and no button of it can run a
// handler inside the one that waits in the box.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/win32/gui/app_driver.h"

namespace {

using namespace tervalux::win32::testing;

POINT CentreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A real click of the left button at a point of the screen, as a user's mouse gives it: it goes
// where the system sends input, which a window message to the button would not.
void ClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// A real press of Enter, as a user's keyboard gives it, to whichever window has the focus.
void PressEnter() {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_RETURN;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

HWND ActiveWindowOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

// The 9x layout with the stand-in registrar as the system's own, for the Windows 98 family; all
// of it goes again with the object.
class NineXLayoutWithFocusTaker {
   public:
    NineXLayoutWithFocusTaker() {
        wchar_t windows[MAX_PATH];
        GetWindowsDirectoryW(windows, MAX_PATH);
        system_ = std::wstring(windows) + L"\\system";
        registrar_ = system_ + L"\\regsvr32.exe";
        SetStringValue(kAppDefaults, L"Version", L"win98");
        if (Exists(registrar_)) DeleteFileW(registrar_.c_str());  // left by an interrupted run
        madeFolder_ = CreateDirectoryW(system_.c_str(), nullptr) != FALSE;
        ready_ = CopyFileW((TestProgramFolder() + L"\\gui_focus_registrar.exe").c_str(), registrar_.c_str(), FALSE);
    }
    ~NineXLayoutWithFocusTaker() {
        WaitFor([&] { return DeleteFileW(registrar_.c_str()) || !Exists(registrar_); });
        if (madeFolder_) RemoveDirectoryW(system_.c_str());
        DeleteKeyTree(kAppDefaults);
    }
    NineXLayoutWithFocusTaker(const NineXLayoutWithFocusTaker&) = delete;
    NineXLayoutWithFocusTaker& operator=(const NineXLayoutWithFocusTaker&) = delete;

    bool Ready() const { return ready_; }

   private:
    static constexpr const wchar_t* kAppDefaults = L"Software\\Wine\\AppDefaults\\tervalux.exe";
    std::wstring system_;
    std::wstring registrar_;
    bool madeFolder_ = false;
    bool ready_ = false;
};

TEST(GuiMessageBox, HoldsTheFormWhileARegistrarHasTheFocus) {
    if (!RunningUnderWine()) return CannotRunHere("lays out the Windows folder as a 9x system only under Wine");
    NineXLayoutWithFocusTaker layout;
    ASSERT_TRUE(layout.Ready()) << GetLastError();
    ScratchFolder scratch;
    WriteBytes(scratch / L"comp.ocx", "component");

    Running app;
    ASSERT_NE(app.Form(), nullptr);
    const HWND form = app.Form();
    ASSERT_EQ(app.Children().size(), layout::kControlCount);
    const HWND txtarq = app.Control("txtarq");
    const HWND chkDir = app.Control("ChkDir");
    const HWND sair = app.Control("CmdSair");
    const HWND registrar = app.Control("cmdReg");

    // Registrar, box clear: the stand-in is copied beside the component and started, and takes
    // the activation from the form.
    ASSERT_TRUE(EnterInBox(txtarq, scratch.Path()));
    ASSERT_TRUE(EnterInBox(txtarq, L"comp.ocx"));
    ASSERT_TRUE(SetCheckBox(chkDir, BST_UNCHECKED));
    PostMessageW(registrar, BM_CLICK, 0, 0);
    HWND taker = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (taker = FindWindowW(L"TervaluxFocusTaker", nullptr)) != nullptr; }))
        << "the registrar did not start";
    ASSERT_TRUE(WaitFor([&] { return ActiveWindowOf(form) != form; }, std::chrono::seconds(10)))
        << "the registrar did not take the activation";

    // A name that is nowhere, then Enter: "Arquivo não encontrado" while the registrar is active.
    SendMessageW(txtarq, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"nada-aqui.ocx"));
    PostMessageW(txtarq, WM_CHAR, L'\r', 0x001C0001);
    const HWND box = app.WaitForMessage(L"Arquivo n\u00e3o encontrado");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowEnabled(form));

    // The stand-in goes now that the box has its owner, and a click on the box, moved clear of the
    // form, makes the box the foreground for Enter below: under Wine the stand-in takes the
    // foreground back, and a press that comes while the foreground moves is lost.
    PostMessageW(taker, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return FindWindowW(L"TervaluxFocusTaker", nullptr) == nullptr; }));
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT inBox{8, 8};
    ClientToScreen(box, &inBox);
    ClickAt(inBox);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; })) << "the box did not take the foreground";

    // A click on "Sair" does nothing while the box stands. Enter comes behind it in the same
    // input and closes the box, so once the box has gone the program has met the click.
    ClickAt(CentreOf(sair));
    PressEnter();
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "Enter did not close the box";
    EXPECT_TRUE(IsWindowEnabled(form) && !app.Ended(nullptr, 0)) << "Sair ran while the box stood";

    // With the form enabled again, "Sair" ends the program.
    ClickAt(CentreOf(sair));
    EXPECT_TRUE(app.Ended()) << "Sair did not end the program after the box";
    WaitFor([&] { return !Exists(scratch / L"regsvr32.exe") || ExistsUnheld(scratch / L"regsvr32.exe"); });
}

}  // namespace
