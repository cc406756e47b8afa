#include "runtime/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "runtime/description_bytes.h"
#include "runtime/win32/views.h"
#include "runtime/win32/window_barrier.h"
#include "runtime/win32/window_frame.h"
#include "runtime/win32/window_messages.h"

namespace tervalux::rt::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TervaluxForm";
// Child ids start above the dialog command ids (IDOK, IDCANCEL...), which the loop's dialog keys
// send and which must press nothing.
constexpr int kFirstChildId = 100;

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

FormWindow::FormWindow() = default;

FormWindow::~FormWindow() {
    views_.clear();
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (font_ != nullptr && ownFont_) DeleteObject(font_);
    if (!classIcons_) {
        if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
        if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
    }
}

void FormWindow::Create(Form& form) {
    form_ = &form;
    LoadIcons();
    // The first window's icons are the class's, so that the system has them as it makes the
    // window. Handed over after that (WM_SETICON), Wine makes the display's copy of them once
    // more, at every start.
    static const ATOM atom = [this] {
        // The earliest systems that read the manifest make the version 6 controls only for a
        // program that has asked the controls library for them.
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &FormWindow::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = bigIcon_;
        wc.hIconSm = smallIcon_;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClassName;
        const ATOM registered = RegisterClassExW(&wc);
        classIcons_ = registered != 0;
        return registered;
    }();
    if (atom == 0) throw RuntimeError(err::OutOfMemory);

    dpiX_ = ScreenDpi(LOGPIXELSX);
    dpiY_ = ScreenDpi(LOGPIXELSY);
    font_ = MessageFontForDpi(dpiY_);
    ownFont_ = font_ != nullptr;
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // The client area is the stored size; the frame is added around it, and the whole is centred
    // on the screen when the description asks for it.
    const bool centred = form.Settings().startUpPosition == 2;
    const SIZE frame = FramePixels(form.Settings().client, dpiX_, dpiY_);
    POINT origin{CW_USEDEFAULT, CW_USEDEFAULT};
    if (centred) origin = CentredOnScreen(frame);
    hwnd_ = CreateWindowExW(kFormExStyle, kClassName, form.Settings().caption.c_str(), kFormStyle, origin.x, origin.y,
                            frame.cx, frame.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw RuntimeError(err::OutOfMemory);
    if (!classIcons_) {
        if (bigIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
        if (smallIcon_ != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
    CreateViews();

    // A window has the DPI of the monitor it opened on, which on later Windows may differ from the
    // system's: it is then sized for that DPI and centred again.
    const int dpi = WindowDpi(hwnd_);
    if (dpi > 0 && (dpi != dpiX_ || dpi != dpiY_)) {
        RECT placed{};
        GetWindowRect(hwnd_, &placed);
        ChangeDpi(dpi, dpi, placed);
        if (centred) {
            GetWindowRect(hwnd_, &placed);
            const POINT at = CentredOnScreen(SIZE{placed.right - placed.left, placed.bottom - placed.top});
            SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::LoadIcons() {
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
        place.dpi = dpiY_;
        auto view = CreateView(*control, *form_, place);
        // Each new child goes below the ones before it: the dialog keys walk the z-order. The
        // system puts a new child there already; it is moved only where it did not.
        if (GetWindow(view->Handle(), GW_HWNDNEXT) != nullptr) {
            SetWindowPos(view->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        view->Listen(this);
        views_.push_back(std::move(view));
    }
}

void FormWindow::ChangeDpi(int dpiX, int dpiY, const RECT& suggested) {
    // Moved to a monitor with another DPI: the window and its controls keep their stored sizes in
    // twips, measured in the new monitor's pixels, with the message font made for that DPI.
    if (dpiX <= 0 || dpiY <= 0 || (dpiX == dpiX_ && dpiY == dpiY_)) return;
    HFONT newFont = MessageFontForDpi(dpiY);
    for (const auto& view : views_) {
        view->SetDpi(dpiY);
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
    const SIZE frame = FramePixels(client, dpiX_, dpiY_);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame the system really draws may not be the one predicted for the DPI: the client area
    // is what must come out right.
    RECT got{};
    GetClientRect(hwnd_, &got);
    const SIZE wanted = ClientPixels(client, dpiX_, dpiY_);
    const LONG dx = wanted.cx - got.right;
    const LONG dy = wanted.cy - got.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx + dx, frame.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
        if (view->Handle() == hwnd) return view.get();
    }
    for (const auto& view : views_) {
        if (IsChild(view->Handle(), hwnd)) return view.get();
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
    return Guarded(self->form_, [&] { return self->OnMessage(message, wParam, lParam); });
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
        case WM_DRAWITEM: {
            // An owner-drawn child's entries are drawn by its view.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item == nullptr || item->CtlType == ODT_MENU) break;
            if (Win32View* view = ViewOf(item->hwndItem); view != nullptr && view->OnDrawItem(*item)) return TRUE;
            break;
        }
        case kLostFocusMessage:
            if (wParam < views_.size() && form_->Loaded()) {
                Control& model = views_[wParam]->Model();
                Win32View::Act([&] { model.UserLostFocus(); });
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
        case WM_GETICON: {
            // The class's icons are the window's own for whoever asks the window.
            const LRESULT set = DefWindowProcW(hwnd_, message, wParam, lParam);
            if (set != 0) return set;
            return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? bigIcon_ : smallIcon_);
        }
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

void FormWindow::OnChildMessage(Win32View& view, UINT message, WPARAM wParam, LPARAM) noexcept {
    Guarded(form_, [&]() -> LRESULT {
        if (message == WM_SETFOCUS) lastFocus_ = view.Handle();
        if (message == WM_KILLFOCUS) {
            // Only a move to another control of this form is a LostFocus: not a deactivation of
            // the window, a message box, or another program taking the focus.
            const Win32View* gaining = ViewOf(reinterpret_cast<HWND>(wParam));
            if (gaining != nullptr && gaining != &view) {
                for (std::size_t i = 0; i < views_.size(); ++i) {
                    if (views_[i].get() == &view) PostMessageW(hwnd_, kLostFocusMessage, i, 0);
                }
            }
        }
        return 0;
    });
}

}  // namespace tervalux::rt::win32
