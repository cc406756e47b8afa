// The process entry: keeps library loads to the system directory, then hands the project
// description and the forms' code to the runtime's start routine, which never returns.
#include <windows.h>

#include <memory>

#include "app/form1.h"
#include "app/form1_data.h"
#include "platform/module1.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_kernel.h"
#include "runtime/win32/start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tervalux;
    // Before anything can load a library: the program runs with administrator rights from a
    // folder that may be anyone's.
    win32::SearchSystemDirectoryOnly();
    static win32::Win32Kernel kernel;
    static Module1 module1(kernel);
    static const rt::FormModule forms[] = {
        {L"Form1",
         [](rt::Form& form, Services& services) -> std::unique_ptr<rt::FormCode> {
             return std::make_unique<app::Form1>(form, services, module1);
         }},
    };
    rt::win32::Start(rt::Program{form_data::ProjectDescriptionBytes(), forms});
}
