// Where the real tervalux.exe puts its window and its eight controls, at the screen's DPI and
// after moves to monitors with other DPIs: every control's window rectangle is its stored twips
// in pixels, edge for edge, whatever the control would rather be (a list box's whole number of
// lines, a combo box's height for its font).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win32/gui/app_driver.h"
#include "tests/win32/gui/form_pixels.h"

namespace {

using namespace tervalux::win32::testing;

std::string Describe(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof(text), "(%ld,%ld)-(%ld,%ld) %ldx%ld", r.left, r.top, r.right, r.bottom, r.right - r.left,
                  r.bottom - r.top);
    return text;
}

void ExpectEveryControlAt(HWND form, const std::vector<HWND>& children, int dpi) {
    ASSERT_EQ(children.size(), layout::kControlCount);
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, Px(layout::kClient.width, dpi));
    EXPECT_EQ(client.bottom, Px(layout::kClient.height, dpi));
    for (std::size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(layout::InTabOrder(i).name);
        const RECT expected = ExpectedPixels(layout::InTabOrder(i).rect, dpi);
        const RECT got = RectInForm(form, children[i]);
        EXPECT_TRUE(EqualRect(&got, &expected)) << "at " << Describe(got) << ", expected " << Describe(expected);
    }
}

// What a move to a monitor with another DPI tells the window: the new DPI and a suggested frame,
// which must lie in the program's own memory.
void SendDpiChange(HWND form, int dpi) {
    RECT suggested{};
    GetWindowRect(form, &suggested);
    DWORD pid = 0;
    GetWindowThreadProcessId(form, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(suggested), MEM_COMMIT, PAGE_READWRITE);
    EXPECT_NE(remote, nullptr);
    if (remote != nullptr && WriteProcessMemory(process, remote, &suggested, sizeof(suggested), nullptr)) {
        const auto both = static_cast<WPARAM>(MAKELONG(dpi, dpi));
        EXPECT_NE(SendMessageTimeoutW(form, WM_DPICHANGED, both, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 10000,
                                      nullptr),
                  0);
    } else {
        ADD_FAILURE() << "cannot place the suggested frame in the program: " << GetLastError();
    }
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}

TEST(GuiLayout, EveryControlExactlyWhereItsTwipsPutItAtTheScreenDpi) {
    Running app;
    const HWND form = app.Form();
    ASSERT_NE(form, nullptr) << "no window \"Tervalux\"";
    const auto children = app.Children();
    const int dpi = ScreenDpi();
    ExpectEveryControlAt(form, children, dpi);
    if (dpi == 96) {
        // 2895 x 3240 twips: not a pixel less for a list box's whole lines.
        const RECT folders = RectInForm(form, app.Control("Dir"));
        EXPECT_EQ(folders.right - folders.left, 193);
        EXPECT_EQ(folders.bottom - folders.top, 216);
    }
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

// On a monitor with another DPI the client area and every control keep their stored twips in
// that DPI's pixels, and come back to the first pixels with the first DPI; the window stays put.
TEST(GuiLayout, DpiChangeKeepsEveryControlAtItsTwips) {
    Running app;
    const HWND form = app.Form();
    ASSERT_NE(form, nullptr);
    const auto children = app.Children();
    ASSERT_EQ(children.size(), layout::kControlCount);
    RECT start{};
    GetWindowRect(form, &start);
    for (int dpi : {144, 120, 96, ScreenDpi()}) {
        SCOPED_TRACE(dpi);
        SendDpiChange(form, dpi);
        RECT frame{};
        GetWindowRect(form, &frame);
        EXPECT_EQ(frame.left, start.left);
        EXPECT_EQ(frame.top, start.top);
        ExpectEveryControlAt(form, children, dpi);
    }
    app.ExpectNoMessage();
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Ended());
}

}  // namespace
