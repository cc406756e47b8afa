#pragma once
// The system's own small icons for the folder and drive lists, in one cache that both share: the
// shell's stock icons where the system has them, else the classic icons in the shell's library,
// always at the small-icon size of the list's DPI. Each is loaded when first drawn, on the window's
// thread: a thread of their own, tried, made the start slower, since the window thread has little
// to do meanwhile that the loading could hide. Where the system has no icon, there is none:
// nothing here fails or throws.
#include <windows.h>

#include "platform/file_queries.h"

namespace tervalux::rt::win32 {

enum class ShellIcon { Folder, FolderOpen, DriveFixed, DriveRemovable, DriveCd, DriveNetwork, DriveRam, DriveUnknown };

// The icon of a drive of that kind.
ShellIcon DriveIcon(DriveKind kind);

// The side of a small icon in pixels at a DPI.
int SmallIconSize(int dpi);

// Draws the icon with its top left corner at (x, y), at the small size of the DPI; nothing where
// the system has no such icon. A DPI of another size loads the icons again.
void DrawShellIcon(HDC dc, int x, int y, ShellIcon which, int dpi);

}  // namespace tervalux::rt::win32
