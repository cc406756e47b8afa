#pragma once
// The ways a handler meets errors, so that each handler states its rule in one line. A handler
// with no trap simply lets its errors go on to the runtime's default handling. A fallback runs
// outside the trap: an error raised inside it is not met by the same trap again.
#include <string>
#include <utility>

#include "platform/runtime_error.h"
#include "platform/services.h"

namespace tervalux::rt {

// Runs `body`; any error it raises stops it and runs `fallback(error)`.
template <class Body, class Fallback>
void Trapped(Body&& body, Fallback&& fallback) {
    bool failed = false;
    RuntimeError error(0, {});
    try {
        std::forward<Body>(body)();
    } catch (...) {
        failed = true;
        error = CurrentError();
    }
    if (failed) std::forward<Fallback>(fallback)(error);
}

// Runs `body`; any error it raises stops it and shows one fixed message, whatever its number.
template <class Body>
void ShowOnError(Services& services, const std::wstring& message, Body&& body) {
    Trapped(std::forward<Body>(body), [&](const RuntimeError&) { services.ShowMessage(message); });
}

// Runs `body`; any error it raises stops it silently.
template <class Body>
void IgnoreErrors(Body&& body) {
    Trapped(std::forward<Body>(body), [](const RuntimeError&) {});
}

}  // namespace tervalux::rt
