#include "runtime/win32/window_frame.h"

#include "platform/win32/system_function.h"

namespace tervalux::rt::win32 {

namespace {

// The calls for a DPI of its own per window exist only on later Windows: looked up by name, with
// the system-wide equivalents where they are missing.
template <typename Function>
Function User32Function(const char* name) {
    return tervalux::win32::SystemFunction<Function>(L"user32.dll", name);
}

void AdjustFrameForDpi(RECT& frame, int dpi) {
    using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Function<Adjust>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&frame, kFormStyle, FALSE, kFormExStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    }
}

}  // namespace

int TwipsToPixels(std::int32_t twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

RECT PixelsOf(const TwipsRect& r, int dpiX, int dpiY) {
    return RECT{TwipsToPixels(r.left, dpiX), TwipsToPixels(r.top, dpiY), TwipsToPixels(r.left + r.width, dpiX),
                TwipsToPixels(r.top + r.height, dpiY)};
}

SIZE ClientPixels(const TwipsRect& client, int dpiX, int dpiY) {
    return SIZE{TwipsToPixels(client.width, dpiX), TwipsToPixels(client.height, dpiY)};
}

SIZE FramePixels(const TwipsRect& client, int dpiX, int dpiY) {
    const SIZE inside = ClientPixels(client, dpiX, dpiY);
    RECT frame{0, 0, inside.cx, inside.cy};
    AdjustFrameForDpi(frame, dpiY);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

POINT CentredOnScreen(SIZE frame) {
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2};
}

int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, axis) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND hwnd) {
    using Query = UINT(WINAPI*)(HWND);
    static const auto query = User32Function<Query>("GetDpiForWindow");
    return query != nullptr ? static_cast<int>(query(hwnd)) : 0;
}

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

}  // namespace tervalux::rt::win32
