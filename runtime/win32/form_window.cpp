#include "runtime/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

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

// One image of an icon file, chosen by its size, as an icon handle; null when the bytes do not
// hold a usable image of that size. Every offset and length is checked against the bytes.
HICON IconFromFile(const std::vector<std::uint8_t>& file, int size) {
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(file[at] | (file[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    if (file.size() < 6 || u16(0) != 0 || u16(2) != 1) return nullptr;
    const std::size_t count = u16(4);
    if (file.size() < 6 + 16 * count) return nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int width = file[entry] == 0 ? 256 : file[entry];
        const std::uint32_t length = u32(entry + 8);
        const std::uint32_t offset = u32(entry + 12);
        if (width != size || offset > file.size() || length > file.size() - offset || length == 0) continue;
        return CreateIconFromResourceEx(const_cast<PBYTE>(file.data() + offset), length, TRUE, 0x00030000, size, size,
                                        LR_DEFAULTCOLOR);
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
    if (font_ != nullptr) DeleteObject(font_);
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

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // The client area is the stored size; the frame is added around it, and the whole is centred
    // on the screen when the description asks for it.
    const TwipsRect& client = form.Settings().client;
    RECT frame{0, 0, TwipsToPixels(client.width, ScreenDpi(LOGPIXELSX)),
               TwipsToPixels(client.height, ScreenDpi(LOGPIXELSY))};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
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
    const int dpiX = ScreenDpi(LOGPIXELSX);
    const int dpiY = ScreenDpi(LOGPIXELSY);
    for (Control* control : byTab) {
        const TwipsRect& r = control->Rect();
        ViewPlace place;
        place.parent = hwnd_;
        place.pixels = RECT{TwipsToPixels(r.left, dpiX), TwipsToPixels(r.top, dpiY),
                            TwipsToPixels(r.left + r.width, dpiX), TwipsToPixels(r.top + r.height, dpiY)};
        place.id = kFirstChildId + static_cast<int>(views_.size());
        place.font = font_;
        auto view = CreateView(*control, *form_, place);
        // Each new child goes below the ones before it: the dialog keys walk the z-order.
        SetWindowPos(view->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowSubclass(view->Handle(), &FormWindow::ChildProc, kChildSubclassId, reinterpret_cast<DWORD_PTR>(this));
        views_.push_back(std::move(view));
    }
}

void FormWindow::Show() {
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
