#pragma once
// Builds a form and its controls from a read window description. No code of the program creates,
// moves or resizes a control: everything comes from the description.
#include <memory>

#include "platform/file_queries.h"
#include "platform/services.h"
#include "runtime/form.h"
#include "runtime/window_description.h"

namespace tervalux::rt {

// The control model for one stored control; an unknown kind or a tab index out of range throws a
// RuntimeError naming the control.
std::unique_ptr<Control> MakeControl(const ControlDescription& description, FileQueries& queries);

// The form with every stored control, in stored order, not yet bound or loaded.
std::unique_ptr<Form> BuildForm(const WindowDescription& description, Services& services, FileQueries& queries,
                                FormHost& host);

}  // namespace tervalux::rt
