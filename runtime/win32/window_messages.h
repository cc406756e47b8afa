#pragma once
// The program's own window messages, numbered here and nowhere else, so that no two of them can
// meet on one window.
#include <windows.h>

namespace tervalux::rt::win32 {

// Posted to the form's window by a child that lost the focus to another control of the form:
// wParam is the view's position in tab order. Raised after the focus has moved, before the next
// input is handled.
inline constexpr UINT kLostFocusMessage = WM_APP + 1;

// Posted to a file list box to bring it in step with its model once the handler that changed the
// model has returned: a folder change writes the folder and then the pattern, and the list is
// filled once for both.
inline constexpr UINT kSyncMessage = WM_APP + 0x4C0;

}  // namespace tervalux::rt::win32
