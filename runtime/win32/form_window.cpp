#include "runtime/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "runtime/description_bytes.h"
#include "runtime/win32/views.h"

namespace tervalux::rt::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TervaluxForm";
constexpr UINT_PTR kChildSubclassId = 0x4C46;  // any id unique to this subclass
// Posted by a child that lost the focus to another control of the form: wParam is the view's
// position in tab order. Raised after the focus has moved, before the next input is handled.
constexpr UINT kLostFocusMessage = WM_APP + 1;
// Child ids start above the dialog command ids (IDOK, IDCANCEL...), which the loop's dialog keys
// send and which must press nothing.
constexpr int kFirstChildId = 100;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, axis) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The calls for a DPI of its own per window exist only on later Windows: looked up by name, with
// the system-wide equivalents where they are missing.
template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                             : nullptr;
}

void AdjustFrameForDpi(RECT& frame, int dpi) {
    using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Function<Adjust>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    }
}

// The system message font at a DPI; null when it cannot be made.
HFONT MessageFontForDpi(int dpi) {
    using Query = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto query = User32Function<Query>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    const BOOL read = query != nullptr
                          ? query(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))
                          : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return read ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr;
}

RECT PixelsOf(const TwipsRect& r, int dpiX, int dpiY) {
    return RECT{TwipsToPixels(r.left, dpiX), TwipsToPixels(r.top, dpiY), TwipsToPixels(r.left + r.width, dpiX),
                TwipsToPixels(r.top + r.height, dpiY)};
}

// One image of an icon file, chosen by its size, as an icon handle; null when the bytes do not
// hold a usable image of that size. Every offset and length is checked against the bytes.
HICON IconFromFile(const std::vector<std::uint8_t>& file, int size) {
    const std::optional<std::size_t> count = IconImageCount(file);
    if (!count || file.size() < IconDirectoryEnd(*count)) return nullptr;
    for (std::size_t i = 0; i < *count; ++i) {
        const IconEntry entry = IconDirectoryEntry(file, i);
        if (entry.width != size || entry.offset > file.size() || entry.length > file.size() - entry.offset ||
            entry.length == 0) {
            continue;
        }
        return CreateIconFromResourceEx(const_cast<PBYTE>(file.data() + entry.offset), entry.length, TRUE, 0x00030000,
                                        size, size, LR_DEFAULTCOLOR);
    }
    return nullptr;
}

}  // namespace

int TwipsToPixels(std::int32_t twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

FormWindow::FormWindow() = default;

FormWindow::~FormWindow() {
    views_.clear();
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (font_ != nullptr && ownFont_) DeleteObject(font_);
    if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

void FormWindow::Create(Form& form) {
    form_ = &form;
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &FormWindow::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    if (atom == 0) throw RuntimeError(err::OutOfMemory);

    dpiX_ = ScreenDpi(LOGPIXELSX);
    dpiY_ = ScreenDpi(LOGPIXELSY);
    font_ = MessageFontForDpi(dpiY_);
    ownFont_ = font_ != nullptr;
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // The client area is the stored size; the frame is added around it, and the whole is centred
    // on the screen when the description asks for it.
    const TwipsRect& client = form.Settings().client;
    RECT frame{0, 0, TwipsToPixels(client.width, dpiX_), TwipsToPixels(client.height, dpiY_)};
    AdjustFrameForDpi(frame, dpiY_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (form.Settings().startUpPosition == 2) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    hwnd_ = CreateWindowExW(kExStyle, kClassName, form.Settings().caption.c_str(), kStyle, x, y, width, height, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw RuntimeError(err::OutOfMemory);
    SetIcons();
    CreateViews();

    // A window has the DPI of the monitor it opened on, which on later Windows may differ from the
    // system's: it is then sized for that DPI and centred again.
    using WindowDpi = UINT(WINAPI*)(HWND);
    static const auto windowDpi = User32Function<WindowDpi>("GetDpiForWindow");
    const int dpi = windowDpi != nullptr ? static_cast<int>(windowDpi(hwnd_)) : 0;
    if (dpi > 0 && (dpi != dpiX_ || dpi != dpiY_)) {
        RECT placed{};
        GetWindowRect(hwnd_, &placed);
        ChangeDpi(dpi, dpi, placed);
        if (form.Settings().startUpPosition == 2) {
            GetWindowRect(hwnd_, &placed);
            SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (placed.right - placed.left)) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - (placed.bottom - placed.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::SetIcons() {
    // The window's icon is the picture stored in the description; the program's resource icon
    // (the same images) stands in if the stored one cannot be used.
    const int big = GetSystemMetrics(SM_CXICON);
    const int small = GetSystemMetrics(SM_CXSMICON);
    const auto& file = form_->Settings().icon;
    bigIcon_ = IconFromFile(file, big);
    smallIcon_ = IconFromFile(file, small);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (bigIcon_ == nullptr) {
        bigIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, big, big, 0));
    }
    if (smallIcon_ == nullptr) {
        smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, small, small, 0));
    }
    if (bigIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void FormWindow::CreateViews() {
    std::vector<Control*> byTab;
    for (const auto& control : form_->Controls()) byTab.push_back(control.get());
    std::stable_sort(byTab.begin(), byTab.end(),
                     [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* control : byTab) {
        ViewPlace place;
        place.parent = hwnd_;
        place.pixels = PixelsOf(control->Rect(), dpiX_, dpiY_);
        place.id = kFirstChildId + static_cast<int>(views_.size());
        place.font = font_;
        auto view = CreateView(*control, *form_, place);
        // Each new child goes below the ones before it: the dialog keys walk the z-order.
        SetWindowPos(view->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowSubclass(view->Handle(), &FormWindow::ChildProc, kChildSubclassId, reinterpret_cast<DWORD_PTR>(this));
        views_.push_back(std::move(view));
    }
}

void FormWindow::ChangeDpi(int dpiX, int dpiY, const RECT& suggested) {
    // Moved to a monitor with another DPI: the window and its controls keep their stored sizes in
    // twips, measured in the new monitor's pixels, with the message font made for that DPI.
    if (dpiX <= 0 || dpiY <= 0 || (dpiX == dpiX_ && dpiY == dpiY_)) return;
    HFONT newFont = MessageFontForDpi(dpiY);
    for (const auto& view : views_) {
        if (newFont != nullptr) SendMessageW(view->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
        view->Place(PixelsOf(view->Model().Rect(), dpiX, dpiY));
    }
    if (newFont != nullptr) {
        if (ownFont_) DeleteObject(font_);
        font_ = newFont;
        ownFont_ = true;
    }
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    const TwipsRect& client = form_->Settings().client;
    RECT frame{0, 0, TwipsToPixels(client.width, dpiX_), TwipsToPixels(client.height, dpiY_)};
    AdjustFrameForDpi(frame, dpiY_);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame the system really draws may not be the one predicted for the DPI: the client area
    // is what must come out right.
    RECT got{};
    GetClientRect(hwnd_, &got);
    const LONG dx = TwipsToPixels(client.width, dpiX_) - got.right;
    const LONG dy = TwipsToPixels(client.height, dpiY_) - got.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::Show() {
    // What Load changed is in the views before the first paint: on the screen the window opens
    // with its lists filled, and nothing is painted twice.
    for (const auto& view : views_) view->CatchUp();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    if (!views_.empty()) {
        lastFocus_ = views_.front()->Handle();
        SetFocus(lastFocus_);
    }
}

void FormWindow::RunUntilUnloaded() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab and Shift+Tab move through the tab order; Enter and Esc are turned into commands
        // that press nothing.
        if (hwnd_ != nullptr && IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ExitProcess(0);
}

void FormWindow::Unloaded() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void FormWindow::EndProgram() {
    ExitProcess(1);
}

Win32View* FormWindow::ViewOf(HWND hwnd) const {
    if (hwnd == nullptr) return nullptr;
    for (const auto& view : views_) {
        if (view->Handle() == hwnd || IsChild(view->Handle(), hwnd)) return view.get();
    }
    return nullptr;
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr || self->form_ == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        self->form_->ReportUntrapped();
        return 0;
    }
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            // Commands without a child window (the dialog keys' IDOK and IDCANCEL) press nothing.
            const auto child = reinterpret_cast<HWND>(lParam);
            if (child == nullptr) return 0;
            if (Win32View* view = ViewOf(child)) view->OnCommand(HIWORD(wParam));
            return 0;
        }
        case kLostFocusMessage:
            if (wParam < views_.size() && form_->Loaded()) {
                Control& model = views_[wParam]->Model();
                form_->Dispatch([&] { model.UserLostFocus(); });
            }
            return 0;
        case WM_ACTIVATE:
            // Give the focus back to the control that had it, as a dialog does.
            if (LOWORD(wParam) != WA_INACTIVE && lastFocus_ != nullptr && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (lastFocus_ != nullptr && IsWindow(lastFocus_)) SetFocus(lastFocus_);
            return 0;
        case WM_CLOSE:  // the close box, the system menu, Alt+F4
            form_->Unload(UnloadMode::ControlMenu);
            return 0;
        case WM_DPICHANGED: ChangeDpi(LOWORD(wParam), HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_QUERYENDSESSION: form_->Unload(UnloadMode::SessionEnd); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR selfData) {
    auto* self = reinterpret_cast<FormWindow*>(selfData);
    try {
        switch (message) {
            case WM_SETFOCUS: self->lastFocus_ = hwnd; break;
            case WM_KILLFOCUS: {
                // Only a move to another control of this form is a LostFocus: not a deactivation
                // of the window, a message box, or another program taking the focus.
                const auto next = reinterpret_cast<HWND>(wParam);
                Win32View* losing = self->ViewOf(hwnd);
                Win32View* gaining = self->ViewOf(next);
                if (losing != nullptr && gaining != nullptr && gaining != losing) {
                    for (std::size_t i = 0; i < self->views_.size(); ++i) {
                        if (self->views_[i].get() == losing) PostMessageW(self->hwnd_, kLostFocusMessage, i, 0);
                    }
                }
                break;
            }
            case WM_NCDESTROY: RemoveWindowSubclass(hwnd, &FormWindow::ChildProc, kChildSubclassId); break;
            default: break;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    } catch (...) {
        if (self->form_ != nullptr) self->form_->ReportUntrapped();
        return 0;
    }
}

}  // namespace tervalux::rt::win32
