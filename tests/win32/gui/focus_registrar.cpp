// A stand-in for the registrar that does what a real one may do to the program that started it:
// shows a window and takes the activation and the focus, and keeps them until it is closed (or a
// minute has passed, so a failed test leaves nothing running).
#include <windows.h>

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: DestroyWindow(hwnd); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"TervaluxFocusTaker";
    if (RegisterClassW(&wc) == 0) return 2;
    HWND hwnd = CreateWindowExW(0, L"TervaluxFocusTaker", L"Registrar de teste", WS_OVERLAPPEDWINDOW, 400, 300, 240,
                                120, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 3;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    SetTimer(hwnd, kGiveUpTimer, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
