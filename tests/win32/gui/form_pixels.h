#pragma once
// Where the form's layout (tests/support/form1_layout.h) puts the controls in pixels at a DPI:
// each edge converted on its own, as the window converts them.
#include <windows.h>

#include "tests/support/form1_layout.h"

namespace tervalux::win32::testing {

inline int Px(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

inline RECT ExpectedPixels(const rt::layout::Twips& t, int dpi) {
    return RECT{Px(t.left, dpi), Px(t.top, dpi), Px(t.left + t.width, dpi), Px(t.top + t.height, dpi)};
}

// A child's window rectangle in its form's client coordinates.
inline RECT RectInForm(HWND form, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace tervalux::win32::testing
