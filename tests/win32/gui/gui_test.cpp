// Drives the real tervalux.exe from outside, with window messages only: finds its window, checks
// the layout and the keyboard behaviour, and closes it the ways a user can. Every wait is for a
// state, never for a fixed time.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/control_kinds.h"
#include "runtime/description_values.h"
#include "tests/win32/gui/app_driver.h"
#include "tests/win32/gui/folder_listing.h"
#include "tests/win32/gui/form_pixels.h"
#include "tests/win32/gui/screenshot.h"

namespace {

using namespace tervalux::win32::testing;
using tervalux::rt::Kind;
using tervalux::rt::KindCode;

// The standard class a control of the kind is; nullptr for the lists, which any may draw.
const wchar_t* StandardClass(int kind) {
    if (kind == KindCode(Kind::TextBox)) return L"Edit";
    if (kind == KindCode(Kind::CommandButton) || kind == KindCode(Kind::CheckBox)) return L"Button";
    return nullptr;
}

TEST(GuiWindow, LayoutFocusTabOrderAndSair) {
    Running app;
    const HWND form = app.Form();
    ASSERT_NE(form, nullptr) << "no window \"Tervalux\"";
    const int dpi = ScreenDpi();

    // Frame: fixed size, a minimise box, the icon; the client area is the stored size, centred.
    const LONG style = GetWindowLongW(form, GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    // The program's icon, both images. (Wine cannot pass WM_GETICON between processes, so the
    // window's own icon is asked for only on Windows.)
    HMODULE image = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) DestroyIcon(icon);
    }
    FreeLibrary(image);
    if (!RunningUnderWine()) {
        EXPECT_NE(SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(form, WM_GETICON, ICON_SMALL, 0), 0);
    }
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, Px(layout::kClient.width, dpi));
    EXPECT_EQ(client.bottom, Px(layout::kClient.height, dpi));
    RECT frame{};
    GetWindowRect(form, &frame);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((frame.left + frame.right) - screenWidth), 1) << frame.left << "," << frame.right;
    EXPECT_LE(std::abs((frame.top + frame.bottom) - screenHeight), 1) << frame.top << "," << frame.bottom;

    // The eight controls, in tab order (where they stand is the layout test's).
    const auto children = app.Children();
    ASSERT_EQ(children.size(), layout::kControlCount);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const layout::ControlRow& expected = layout::InTabOrder(i);
        SCOPED_TRACE(expected.name);
        const HWND child = children[i];
        if (const wchar_t* className = StandardClass(expected.kind)) {
            EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), className), 0) << ClassOf(child).c_str();
            EXPECT_EQ(TextOf(child), expected.caption ? tervalux::rt::FromWindows1252(expected.caption) : L"");
        }
        EXPECT_NE(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP, 0);
    }
    const HWND cmdReg = app.Control("cmdReg");
    const HWND cmdDes = app.Control("CmdDes");
    const HWND cmdSair = app.Control("CmdSair");
    const HWND txtarq = app.Control("txtarq");
    const HWND chkDir = app.Control("ChkDir");

    // No default button among the three; a three-state check box that Form_Load ticked; a text
    // box without a length limit of its own.
    for (HWND button : {cmdReg, cmdDes, cmdSair}) {
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
    EXPECT_EQ(SendMessageW(chkDir, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_NE(GetWindowLongW(txtarq, GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_GE(static_cast<DWORD>(SendMessageW(txtarq, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
    EXPECT_EQ(TextOf(txtarq), L"");

    // The focus starts on the drive list; Tab walks the tab order and comes back round.
    EXPECT_TRUE(WaitFor([&] { return app.FocusOn(children[0]); }, std::chrono::seconds(10)));
    for (std::size_t step = 1; step <= children.size(); ++step) {
        app.PressTab(app.Focus());
        const HWND next = children[step % children.size()];
        EXPECT_TRUE(WaitFor([&] { return app.FocusOn(next); }, std::chrono::seconds(10)))
            << "after Tab " << step << " expected " << layout::InTabOrder(step % children.size()).name;
    }

    const std::wstring shot = TestProgramFolder() + L"\\tervalux_window.png";
    EXPECT_TRUE(SaveScreenshot(form, shot));

    // "Sair" ends the process.
    PostMessageW(cmdSair, BM_CLICK, 0, 0);
    DWORD exitCode = 1234;
    EXPECT_TRUE(app.Ended(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(GuiWindow, OpensWithItsFileListAlreadyFilled) {
    if (!RunningUnderWine()) return CannotRunHere("puts files in the root of drive C only under Wine");
    // The program opens on c:\; two components there make "filled" something to see.
    static constexpr const wchar_t* kPlaced[] = {L"c:\\tvxgui_opening_1.ocx", L"c:\\tvxgui_opening_2.dll"};
    struct Remove {
        ~Remove() {
            for (const wchar_t* file : kPlaced) DeleteFileW(file);
        }
    } remove;
    for (const wchar_t* file : kPlaced) WriteBytes(file, "component");
    const LRESULT expected = ComponentCount(L"c:\\");
    ASSERT_GE(expected, 2);

    // From the moment the window can be seen, the file list holds the folder's names: it is not
    // shown empty and filled a moment later.
    LRESULT atFirstSight = -1;
    Running app([&](HWND form) { atFirstSight = Ask(ControlOf(form, "File"), LB_GETCOUNT); });
    ASSERT_NE(app.Form(), nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(app.Control("File")).c_str(), L"ListBox"), 0);
    EXPECT_EQ(atFirstSight, expected);

    PostMessageW(app.Form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

TEST(GuiWindow, EnterInTheBoxReachesKeyPressAndTheCloseBoxEnds) {
    Running app;
    ASSERT_NE(app.Form(), nullptr);
    const auto children = app.Children();
    ASSERT_EQ(children.size(), layout::kControlCount);
    const HWND txtarq = app.Control("txtarq");

    // Tab to the box, type a name the file list cannot take, press Enter.
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(children[0]); }, std::chrono::seconds(10)));
    for (std::size_t step = 1; step <= layout::TabOf("txtarq"); ++step) {
        app.PressTab(app.Focus());
        ASSERT_TRUE(WaitFor([&] { return app.FocusOn(children[step]); }, std::chrono::seconds(10)));
    }
    const std::wstring typed = L"nao_existe_aqui.ocx";
    SendMessageW(txtarq, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    PostMessageW(txtarq, WM_KEYDOWN, VK_RETURN, 0x001C0001);

    // The handler's message, titled with the application title and owned by the form.
    ASSERT_TRUE(app.ExpectMessage(L"Arquivo n\u00e3o encontrado"));
    EXPECT_EQ(TextOf(txtarq), typed);  // the box keeps the typed text

    // Esc presses nothing: no box, and the window stays.
    PostMessageW(app.Focus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    app.ExpectNoMessage();
    EXPECT_FALSE(app.Ended(nullptr, 0));
    EXPECT_TRUE(IsWindow(app.Form()));

    // The close box ends the process the same way as "Sair".
    PostMessageW(app.Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 1234;
    EXPECT_TRUE(app.Ended(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

// A real registration through the window: a component picked by its folder and name typed into
// the box, the check box cleared, "Registrar" pressed. With the Windows 2000 family the registrar
// is copied beside the component and started from there; when the button then loses the focus
// to another control, the copy goes.
TEST(GuiRegister, RegistrarStartedFromAWorkingCopyThatLostFocusRemoves) {
    if (!RunningUnderWine()) return CannotRunHere("registers in the system's own registry only under Wine");
    const std::wstring appDefaults = L"Software\\Wine\\AppDefaults\\tervalux.exe";
    const std::wstring componentKey = L"Software\\TervaluxTest\\Component";
    SetStringValue(appDefaults, L"Version", L"win2k");
    DeleteKeyTree(componentKey);
    struct CleanUp {
        std::wstring appDefaults;
        std::wstring componentKey;
        ~CleanUp() {
            DeleteKeyTree(appDefaults);
            DeleteKeyTree(componentKey);
        }
    } cleanUp{appDefaults, componentKey};

    ScratchFolder scratch;
    const std::wstring component = scratch / L"tvxcomp.dll";
    std::wstring built = TestProgramFolder();
    built.resize(built.find_last_of(L'\\'));
    ASSERT_TRUE(CopyFileW((built + L"\\tvxcomp.dll").c_str(), component.c_str(), FALSE)) << GetLastError();
    const std::wstring workingCopy = scratch / L"regsvr32.exe";

    Running app;
    ASSERT_NE(app.Form(), nullptr);
    ASSERT_EQ(app.Children().size(), layout::kControlCount);
    const HWND cmdReg = app.Control("cmdReg");
    const HWND txtarq = app.Control("txtarq");
    const HWND chkDir = app.Control("ChkDir");

    ASSERT_TRUE(EnterInBox(txtarq, scratch.Path()));  // the file list moves to the folder
    ASSERT_TRUE(EnterInBox(txtarq, L"tvxcomp.dll"));  // and selects the component
    ASSERT_TRUE(SetCheckBox(chkDir, BST_UNCHECKED));
    app.ExpectNoMessage();  // from the picking

    PostMessageW(cmdReg, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return KeyExists(componentKey); })) << "the registrar did not register";
    EXPECT_EQ(_wcsicmp(StringValue(componentKey, L"LoadedFrom").c_str(), component.c_str()), 0);
    EXPECT_TRUE(Exists(workingCopy));
    app.ExpectNoMessage();

    // Once the registrar has let go of its copy, the focus moves on from the button.
    ASSERT_TRUE(WaitFor([&] { return ExistsUnheld(workingCopy); }));
    ASSERT_TRUE(WaitFor([&] { return app.FocusOn(cmdReg); }, std::chrono::seconds(10)));
    app.PressTab(cmdReg);
    EXPECT_TRUE(WaitFor([&] { return !Exists(workingCopy); }, std::chrono::seconds(20)));
    EXPECT_TRUE(Exists(component));

    PostMessageW(app.Form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

}  // namespace
