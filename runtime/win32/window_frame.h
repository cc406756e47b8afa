#pragma once
// The arithmetic of the form's frame, written once for its creation and for a change of DPI: the
// stored twips in a DPI's pixels, the frame around a client area, the place that centres it, and
// the message font for a DPI.
#include <windows.h>

#include <cstdint>

#include "runtime/control.h"

namespace tervalux::rt::win32 {

// The form window's frame: a fixed size, a caption with the system menu and a minimise box.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Twips to pixels at a DPI (1440 twips per inch; 15 twips per pixel at 96 DPI).
int TwipsToPixels(std::int32_t twips, int dpi);

// A stored rectangle in pixels at a DPI.
RECT PixelsOf(const TwipsRect& r, int dpiX, int dpiY);

// The size of a client area of `client`'s width and height, in pixels at a DPI.
SIZE ClientPixels(const TwipsRect& client, int dpiX, int dpiY);

// The size of the form's frame around such a client area, as the system predicts it for the DPI.
SIZE FramePixels(const TwipsRect& client, int dpiX, int dpiY);

// Where a frame of that size stands centred on the screen.
POINT CentredOnScreen(SIZE frame);

// The screen's DPI along LOGPIXELSX or LOGPIXELSY; 96 when it cannot be read.
int ScreenDpi(int axis);

// The DPI of the monitor the window is on; 0 where the system cannot tell.
int WindowDpi(HWND hwnd);

// The system message font at a DPI; null when it cannot be made.
HFONT MessageFontForDpi(int dpi);

}  // namespace tervalux::rt::win32
