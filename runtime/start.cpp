#include "runtime/start.h"

#include <string>
#include <utility>

#include "platform/runtime_error.h"
#include "platform/text.h"
#include "runtime/form_builder.h"
#include "runtime/project_description.h"
#include "runtime/window_description.h"

namespace tervalux::rt {

namespace {

// A description that cannot be read is a fault of the program's own data; it is reported as the
// runtime reports any error, in the user's language, with where the bytes go wrong. What exactly is
// wrong (DescriptionError::Problem) is for the program's developers, who meet it in their tests and
// in the generator that writes the description, not for the user.
RuntimeError DescriptionFault(const DescriptionError& error) {
    return RuntimeError(err::InvalidCall, L"Descri\u00e7\u00e3o do projeto inv\u00e1lida (byte " +
                                              std::to_wstring(error.Offset()) + L")");
}

}  // namespace

StartUpForm BuildStartUpForm(const Program& program, Services& services, FileQueries& queries, FormHost& host) {
    ProjectDescription project;
    WindowDescription window;
    try {
        project = ReadProjectDescription(program.projectDescription);
        window = ReadWindow(program.projectDescription, project, project.StartUpWindow().id);
    } catch (const DescriptionError& error) {
        throw DescriptionFault(error);
    }
    const FormModule* module = nullptr;
    for (const FormModule& candidate : program.forms) {
        if (EqualNoCase(candidate.name, window.form.name)) module = &candidate;
    }
    if (module == nullptr || !module->create) {
        throw RuntimeError(kBindingError, L"O formul\u00e1rio '" + window.form.name + L"' n\u00e3o tem c\u00f3digo");
    }
    StartUpForm result;
    result.applicationTitle = project.title;
    result.form = BuildForm(window, services, queries, host);
    result.code = module->create(*result.form, services);
    result.form->Bind(result.code->Bindings());
    return result;
}

}  // namespace tervalux::rt
