// The second floor of the start-up benchmark: Tervalux's window with nothing behind it. The same
// eight standard controls (classes, styles, places in twips, message font, tab order), the same
// manifest (version 6 common controls, so the same themed drawing), shown and given the focus as
// the program does; but no description is read and no drive or folder is asked. What any program
// showing this window pays on the same system, against which Tervalux's own work is measured.
//
// Usage: standard_controls_window.exe [entries]. With a number, the file list is given that many
// made-up names before the window is shown, so that it opens as Tervalux's does: filled, with its
// scroll bar. Without one, the lists stay empty.
#include <windows.h>

#include <cwchar>

namespace {

struct Control {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // twips
    int extraHeight;               // pixels: the drive list's drop-down part
};

// In tab order, as Tervalux's window description places them.
// The drive and folder lists draw their entries for the icons and the tree's indent; the file list
// is a plain string list.
constexpr DWORD kStringList = LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
constexpr DWORD kOwnerDrawnList = kStringList | LBS_OWNERDRAWFIXED;
constexpr Control kControls[] = {
    {L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 0, 120, 3960, 2895, 315,
     200},
    {L"LISTBOX", L"", kOwnerDrawnList, WS_EX_CLIENTEDGE, 120, 600, 2895, 3240, 0},
    {L"LISTBOX", L"", kStringList, WS_EX_CLIENTEDGE, 3120, 600, 3135, 3210, 0},
    {L"BUTTON", L"Registrar", BS_PUSHBUTTON, 0, 120, 4440, 1215, 495, 0},
    {L"BUTTON", L"Desrregistrar", BS_PUSHBUTTON, 0, 1320, 4440, 1215, 495, 0},
    {L"EDIT", L"", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, 3120, 3960, 3135, 375, 0},
    {L"BUTTON", L"Sair", BS_PUSHBUTTON, 0, 2520, 4440, 1215, 495, 0},
    {L"BUTTON", L"Copiar o arquivo para o diret\u00f3rio System do Windows", BS_3STATE | BS_MULTILINE, 0, 3840, 4440,
     2415, 495, 0},
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const long entries = std::wcstol(commandLine, nullptr, 10);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TervaluxBenchControls";
    if (RegisterClassExW(&wc) == 0) return 1;

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, MulDiv(6405, dpi, 1440), MulDiv(5070, dpi, 1440)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND hwnd = CreateWindowExW(
        kExStyle, wc.lpszClassName, L"Controls", kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    HWND first = nullptr;
    HWND checkBox = nullptr;
    HWND fileList = nullptr;
    for (const Control& c : kControls) {
        const int left = MulDiv(c.left, dpi, 1440);
        const int top = MulDiv(c.top, dpi, 1440);
        HWND child = CreateWindowExW(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | c.style, left,
                                     top, MulDiv(c.left + c.width, dpi, 1440) - left,
                                     MulDiv(c.top + c.height, dpi, 1440) - top + c.extraHeight, hwnd, nullptr, instance,
                                     nullptr);
        if (child == nullptr) return 1;
        if (font != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (first == nullptr) first = child;
        if (c.style == kStringList) fileList = child;
        checkBox = child;
    }
    SendMessageW(checkBox, BM_SETCHECK, BST_CHECKED, 0);
    for (long i = 0; i < entries && fileList != nullptr; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"componente_%03ld.%ls", i + 1, i % 2 == 0 ? L"ocx" : L"dll");
        SendMessageW(fileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(first);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
