// The second floor of the start-up benchmark: Tervalux's window with nothing behind it. The same
// eight standard controls (classes, styles, message font; places in twips, captions and tab order
// from the form's layout as the tests hold it, tests/support/form1_layout.h), the same manifest
// (version 6 common controls, so the same themed drawing), shown and given the focus as the
// program does; but no description is read and no drive or folder is asked. What any program
// showing this window pays on the same system, against which Tervalux's own work is measured.
//
// Usage: standard_controls_window.exe [entries]. With a number, the file list is given that many
// made-up names before the window is shown, so that it opens as Tervalux's does: filled, with its
// scroll bar. Without one, the lists stay empty.
#include <windows.h>

#include <cwchar>

#include "runtime/control_kinds.h"
#include "tests/support/form1_layout.h"

namespace {

using tervalux::rt::Kind;
using tervalux::rt::KindCode;
namespace layout = tervalux::rt::layout;

// How a plain program shows a control of each kind: its standard class and styles. The drive and
// folder lists draw their entries for the icons and the tree's indent; the file list is a plain
// string list.
struct Shape {
    Kind kind;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int extraHeight;  // pixels: the drive list's drop-down part
};

constexpr DWORD kStringList = LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
constexpr Shape kShapes[] = {
    {Kind::DriveList, L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 0, 200},
    {Kind::FolderList, L"LISTBOX", kStringList | LBS_OWNERDRAWFIXED, WS_EX_CLIENTEDGE, 0},
    {Kind::FileList, L"LISTBOX", kStringList, WS_EX_CLIENTEDGE, 0},
    {Kind::CommandButton, L"BUTTON", BS_PUSHBUTTON, 0, 0},
    {Kind::TextBox, L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, 0},
    {Kind::CheckBox, L"BUTTON", BS_3STATE | BS_MULTILINE, 0, 0},
};

const Shape* ShapeOf(int kind) {
    for (const Shape& shape : kShapes) {
        if (KindCode(shape.kind) == kind) return &shape;
    }
    return nullptr;
}

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
    RECT frame{0, 0, MulDiv(layout::kClient.width, dpi, 1440), MulDiv(layout::kClient.height, dpi, 1440)};
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
    for (std::size_t tab = 0; tab < layout::kControlCount; ++tab) {
        const layout::ControlRow& c = layout::InTabOrder(tab);
        const Shape* shape = ShapeOf(c.kind);
        if (shape == nullptr) return 1;
        // The caption in the code page the layout holds it in, by the system's own conversion.
        wchar_t text[128] = {};
        if (c.caption != nullptr) MultiByteToWideChar(1252, 0, c.caption, -1, text, 128);
        const int left = MulDiv(c.rect.left, dpi, 1440);
        const int top = MulDiv(c.rect.top, dpi, 1440);
        HWND child = CreateWindowExW(
            shape->exStyle, shape->className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | shape->style, left, top,
            MulDiv(c.rect.left + c.rect.width, dpi, 1440) - left,
            MulDiv(c.rect.top + c.rect.height, dpi, 1440) - top + shape->extraHeight, hwnd, nullptr, instance, nullptr);
        if (child == nullptr) return 1;
        if (font != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (tab == 0) first = child;
        if (shape->kind == Kind::FileList) fileList = child;
        if (shape->kind == Kind::CheckBox) checkBox = child;
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
