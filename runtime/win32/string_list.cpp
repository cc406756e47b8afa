#include "runtime/win32/string_list.h"

#include "platform/runtime_error.h"

namespace tervalux::rt::win32 {

HWND CreateListChild(const wchar_t* className, DWORD style, DWORD exStyle, const ViewPlace& place) {
    HWND hwnd = CreateWindowExW(
        exStyle, className, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, place.pixels.left, place.pixels.top,
        place.pixels.right - place.pixels.left, place.pixels.bottom - place.pixels.top, place.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw RuntimeError(err::OutOfMemory);
    if (place.font != nullptr) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(place.font), FALSE);
    return hwnd;
}

int ItemHeightFor(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return 16;
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics{};
    const int height = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight + 1 : 16;
    if (old != nullptr) SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return height;
}

}  // namespace tervalux::rt::win32
