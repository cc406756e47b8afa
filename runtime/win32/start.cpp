#include "runtime/win32/start.h"

#include <windows.h>

#include "platform/runtime_error.h"
#include "platform/win32/win32_file_queries.h"
#include "platform/win32/win32_services.h"
#include "runtime/win32/form_window.h"

namespace tervalux::rt::win32 {

void Start(const Program& program) {
    // Alive until the process ends: the form, its controls and its handlers refer to them.
    // Declared in the order of their lives, each after what it points into: static destructors,
    // if they ever ran, would then end the window (whose views call into the form's models while
    // they close) before the form, and the form before the services and queries it uses.
    static tervalux::win32::Win32Services services;
    static tervalux::win32::Win32FileQueries queries;
    static StartUpForm startUp;
    static FormWindow window;
    try {
        startUp = BuildStartUpForm(program, services, queries, window);
        services.SetApplicationTitle(startUp.applicationTitle);
        window.Create(*startUp.form);
        services.SetMessageOwner(window.Handle());
    } catch (...) {
        // Nothing of the program has run yet: the fault is reported as any untrapped error.
        const RuntimeError error = CurrentError();
        services.ShowMessage(UntrappedErrorText(error));
        ExitProcess(1);
    }
    // Load runs before the window is shown; an untrapped error in it ends the program there.
    startUp.form->Load();
    if (!startUp.form->Loaded()) ExitProcess(0);  // unloaded while loading: nothing to show
    window.Show();
    window.RunUntilUnloaded();
}

}  // namespace tervalux::rt::win32
