#include "runtime/win32/string_list.h"

namespace tervalux::rt::win32 {

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
