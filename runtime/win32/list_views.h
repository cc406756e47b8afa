#pragma once
// The Win32 views of the drive, folder and file lists. The drive list is a drop-down list combo
// box and the folder and file lists are list boxes, each holding its entries' texts
// (string_list.h). The drive and folder lists draw their entries themselves, with the system's
// icons of drives and folders and the tree's indent (their parent reflects WM_DRAWITEM to them);
// the file list is a plain one.
#include <windows.h>

#include <memory>

#include "runtime/control.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

// The view of a drive, folder or file list model; nullptr for a model of any other kind. The
// models' events reach the form through their sink, so a list view needs no form.
std::unique_ptr<Win32View> MakeListView(Control& model, const ViewPlace& place);

// The same at a pixel rectangle of any parent.
std::unique_ptr<Win32View> MakeListView(Control& model, HWND parent, const RECT& pixels, int controlId,
                                        HFONT font = nullptr);

}  // namespace tervalux::rt::win32
