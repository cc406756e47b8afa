// The program never loads a library from its own folder. A copy of it runs with a library planted
// beside it under the name of each system library it loads, and of one that a system library
// loads; Wine is told to prefer a library found on disk, as Windows does. Every one of them must
// come from the system directory, and the planted library, which leaves a mark when loaded, must
// leave none. The drive N:, listed as a network drive by the test's wrapper, makes the program
// load the network library for the drive's name.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "tests/win32/gui/app_driver.h"

namespace {

using namespace tervalux::win32::testing;

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\tervalux.exe";

struct Planted {
    const wchar_t* library;
    const wchar_t* wineName;  // its name in Wine's overrides
};
constexpr Planted kPlanted[] = {
    {L"mpr.dll", L"mpr"},          // loaded by the program for a network drive's name
    {L"shell32.dll", L"shell32"},  // loaded by the program for the lists' icons
    {L"shlwapi.dll", L"shlwapi"},  // loaded by the shell library
};

// A copy of the program in a scratch folder with the mark library beside it under every name of
// the table, and Wine's overrides for the copy; all of it goes again with the object.
class PlantedCopy {
   public:
    PlantedCopy() : hadAppDefaults_(KeyExists(kAppDefaults)) {
        copied_ = CopyFileW(ProgramPath().c_str(), Program().c_str(), FALSE) != FALSE;
        for (const Planted& planted : kPlanted) {
            const std::wstring mark = TestProgramFolder() + L"\\mark_library.dll";
            copied_ = copied_ && CopyFileW(mark.c_str(), (folder_ / planted.library).c_str(), FALSE) != FALSE;
            SetStringValue(std::wstring(kAppDefaults) + L"\\DllOverrides", planted.wineName, L"native,builtin");
        }
    }
    ~PlantedCopy() { DeleteKeyTree(hadAppDefaults_ ? std::wstring(kAppDefaults) + L"\\DllOverrides" : kAppDefaults); }
    PlantedCopy(const PlantedCopy&) = delete;
    PlantedCopy& operator=(const PlantedCopy&) = delete;

    bool Ready() const { return copied_; }
    std::wstring Program() const { return folder_ / L"tervalux.exe"; }
    std::wstring Mark(const Planted& planted) const { return folder_ / planted.library + L".mark"; }

   private:
    ScratchFolder folder_;
    bool hadAppDefaults_;
    bool copied_ = false;
};

// The full paths of the modules named `library` that process `pid` has loaded.
std::vector<std::wstring> LoadedFrom(DWORD pid, const wchar_t* library) {
    std::vector<std::wstring> paths;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) {
        if (_wcsicmp(module.szModule, library) == 0) paths.emplace_back(module.szExePath);
    }
    CloseHandle(snapshot);
    return paths;
}

std::wstring SystemPath(const wchar_t* library) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + library;
}

TEST(PlantedLibraries, AreNeverLoadedTheSystemsOwnAre) {
    if (!RunningUnderWine()) return CannotRunHere("the network drive and the overrides are made through Wine");
    ASSERT_EQ(GetDriveTypeW(L"N:\\"), static_cast<UINT>(DRIVE_REMOTE)) << "N: is not listed as a network drive";
    const PlantedCopy copy;
    ASSERT_TRUE(copy.Ready());
    {
        Running app(copy.Program());
        ASSERT_NE(app.Form(), nullptr);
        const auto allLoaded = [&] {
            for (const Planted& planted : kPlanted) {
                if (LoadedFrom(app.ProcessId(), planted.library).empty()) return false;
            }
            return true;
        };
        EXPECT_TRUE(WaitFor(allLoaded)) << "the program did not load every library of the table";
        for (const Planted& planted : kPlanted) {
            for (const std::wstring& path : LoadedFrom(app.ProcessId(), planted.library)) {
                EXPECT_EQ(_wcsicmp(path.c_str(), SystemPath(planted.library).c_str()), 0) << Utf8(path);
            }
        }
        PostMessageW(app.Form(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app.Ended());
    }
    for (const Planted& planted : kPlanted) {
        EXPECT_FALSE(Exists(copy.Mark(planted))) << Utf8(planted.library) << " was loaded from beside the program";
    }
}

}  // namespace
