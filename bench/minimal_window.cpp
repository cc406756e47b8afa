// The floor of the start-up benchmark: a Win32 program that only shows an empty window of the
// same size as Tervalux's and waits for it to be closed. Built and linked like the program
// (static, Unicode entry), so the difference between the two is what Tervalux does of its own.
#include <windows.h>

#include "tests/support/form1_layout.h"

namespace {

namespace layout = tervalux::rt::layout;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TervaluxBenchMinimal";
    if (RegisterClassExW(&wc) == 0) return 1;
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    // The form's client area at 96 DPI.
    RECT frame{0, 0, MulDiv(layout::kClient.width, 96, 1440), MulDiv(layout::kClient.height, 96, 1440)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, L"Minimal", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
