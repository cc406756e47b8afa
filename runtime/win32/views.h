#pragma once
// The view for a control model, by its kind.
#include <memory>

#include "runtime/form.h"
#include "runtime/win32/control_views.h"
#include "runtime/win32/win32_view.h"

namespace tervalux::rt::win32 {

std::unique_ptr<Win32View> CreateView(Control& model, Form& form, const ViewPlace& place);

}  // namespace tervalux::rt::win32
