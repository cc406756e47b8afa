#pragma once
// The one exception barrier of the program's window and subclass procedures. The system calls
// them from its own code, which an exception cannot unwind through: whatever the body throws ends
// here, as the fault's result, and so does anything the fault itself throws.
#include <windows.h>

#include "runtime/form.h"

namespace tervalux::rt::win32 {

// The body's result; when it throws, the fault's (run inside the catch, so the fault can ask what
// was thrown). `fault` decides what the message gets instead: the default handling of the form,
// or what the window would have done without us.
template <typename Body, typename Fault>
LRESULT Guarded(Body&& body, Fault&& fault) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            return fault();
        } catch (...) {
            return 0;  // the fault's own failure: the message is taken as handled
        }
    }
}

// For the form's window and the focus tracking of its children: an error that escapes gets the
// form's default handling (the message box, then the end), and the message is taken as handled.
template <typename Body>
LRESULT Guarded(Form* form, Body&& body) noexcept {
    return Guarded(static_cast<Body&&>(body), [form]() -> LRESULT {
        if (form != nullptr) form->ReportUntrapped();
        return 0;
    });
}

}  // namespace tervalux::rt::win32
