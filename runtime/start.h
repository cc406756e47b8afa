#pragma once
// The start routine's portable part: from the project description to the start-up form, built
// from its window description and bound to its code, not yet loaded. The Win32 start routine
// creates the window around it, loads it, shows it and runs the events until it is unloaded.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_queries.h"
#include "platform/services.h"
#include "runtime/form.h"

namespace tervalux::rt {

// A form's code: its event handlers, bound by name when the form loads.
class FormCode {
   public:
    virtual ~FormCode() = default;
    virtual std::vector<Binding> Bindings() = 0;
};

// The code of one form of the program, by the form's name in the project.
struct FormModule {
    std::wstring_view name;  // "Form1"
    std::function<std::unique_ptr<FormCode>(Form&, Services&)> create;
};

// What the process entry hands to the start routine.
struct Program {
    std::span<const std::uint8_t> projectDescription;
    std::span<const FormModule> forms;
};

struct StartUpForm {
    std::wstring applicationTitle;  // for message boxes without a title of their own
    std::unique_ptr<Form> form;
    std::unique_ptr<FormCode> code;  // declared last: destroyed before the form it refers to
};

// Reads the project description, finds the start-up form's window description in the window
// table, builds the form and binds its code. Every fault (a malformed description, a missing
// form or code, a handler table that does not fit) throws a RuntimeError.
StartUpForm BuildStartUpForm(const Program& program, Services& services, FileQueries& queries, FormHost& host);

}  // namespace tervalux::rt
