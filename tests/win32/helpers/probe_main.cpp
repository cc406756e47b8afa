// The probe as a program of its own: prints the version code and the Windows directory, one per
// line, in UTF-8. Wine reports a Windows version per program name, so the tests run this program
// once for every version it can pretend to be.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/module1.h"
#include "platform/runtime_error.h"
#include "platform/win32/win32_kernel.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain() {
    try {
        tervalux::win32::Win32Kernel kernel;
        tervalux::Module1 module(kernel);
        const std::wstring directory = module.GetWinDir();
        const std::int32_t code = module.GetWinVersion();
        std::printf("%d\n%s\n", static_cast<int>(code), Utf8(directory).c_str());
        return 0;
    } catch (const tervalux::RuntimeError& error) {
        std::printf("error %d\n", static_cast<int>(error.Number()));
        return 1;
    }
}
