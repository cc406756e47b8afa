#pragma once
// The form's eight controls as the window description places them, in tab order, and where that
// puts them in pixels at a DPI: each edge converted on its own, as the window converts them.
#include <windows.h>

#include <iterator>

namespace tervalux::win32::testing {

struct ExpectedControl {
    const char* name;
    const wchar_t* className;  // empty: a list control, whichever standard class draws it
    const wchar_t* caption;
    RECT twips;  // left, top, width, height
};

// In tab order: the z-order of the children must follow it.
inline const ExpectedControl kControls[] = {
    {"Drive", L"", L"", {120, 3960, 2895, 315}},
    {"Dir", L"", L"", {120, 600, 2895, 3240}},
    {"File", L"", L"", {3120, 600, 3135, 3210}},
    {"cmdReg", L"Button", L"Registrar", {120, 4440, 1215, 495}},
    {"CmdDes", L"Button", L"Desrregistrar", {1320, 4440, 1215, 495}},
    {"txtarq", L"Edit", L"", {3120, 3960, 3135, 375}},
    {"CmdSair", L"Button", L"Sair", {2520, 4440, 1215, 495}},
    {"ChkDir", L"Button", L"Copiar o arquivo para o diret\u00f3rio System do Windows", {3840, 4440, 2415, 495}},
};
inline constexpr std::size_t kControlCount = std::size(kControls);

inline int Px(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

inline RECT ExpectedPixels(const ExpectedControl& control, int dpi) {
    const RECT& t = control.twips;
    return RECT{Px(t.left, dpi), Px(t.top, dpi), Px(t.left + t.right, dpi), Px(t.top + t.bottom, dpi)};
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
