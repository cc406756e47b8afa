#pragma once
// A Windows layout on the in-memory platform for the command tests: the Windows directory with its
// system32 and system folders, the registrar in the family's system folder, a component in D:\comp,
// a window selection of plain values, and the commands run against them with their effects
// recorded in order.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/module1.h"
#include "platform/runtime_error.h"
#include "registration/command_context.h"
#include "registration/commands.h"
#include "tests/fakes/memory_platform.h"
#include "tests/support/families.h"
#include "tests/support/plain_selection.h"

namespace tervalux::fake {

inline void PrintTo(const Event& event, std::ostream* os) {
    *os << ::testing::PrintToString(event.what) << "(" << ::testing::PrintToString(event.a);
    if (!event.b.empty()) *os << ", " << ::testing::PrintToString(event.b);
    *os << ")";
}

}  // namespace tervalux::fake

namespace tervalux::testing {

using fake::Event;
using Events = std::vector<Event>;

inline const std::string kRegistrarBytes = "MZ system registrar";
inline const std::string kComponentBytes = "component v2";

inline Event Copy(const std::wstring& from, const std::wstring& to) {
    return Event{L"copy", from, to};
}
inline Event Start(const std::wstring& program, const std::wstring& commandLine) {
    return Event{L"start", program, commandLine};
}
inline Event Message(const std::wstring& text) {
    return Event{L"message", text, L""};
}
inline Event Deleted(const std::wstring& path) {
    return Event{L"delete", path, L""};
}
inline Events Then(Events first, const Events& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
inline Event Report(std::int32_t number) {
    return Message(ErrorReportText(RuntimeError(number)));
}

// The system folders of the layouts below: NT's and 2000's, the 9x families' and XP's, and the
// other folder of each Windows directory.
inline const std::wstring kNt = L"C:\\WINNT\\system32";
inline const std::wstring k9x = L"C:\\WINDOWS\\system";
inline const std::wstring kXp32 = L"C:\\WINDOWS\\system32";
inline const std::wstring kNtSystem = L"C:\\WINNT\\system";

// The unregister command's moves with D:\comp\a.ocx, by the system folder they work with.
inline const std::wstring kBeside = L"D:\\comp\\REGSVR32.EXE";
inline Event CopyIn(const std::wstring& sys) {
    return Copy(L"D:\\comp\\a.ocx", sys + L"\\a.ocx");
}
inline Event StartIn(const std::wstring& sys) {
    return Start(sys + L"\\regsvr32.exe", sys + L"\\regsvr32.exe /u a.ocx");
}
inline Event CopyBeside(const std::wstring& sys) {
    return Copy(sys + L"\\REGSVR32.EXE", kBeside);
}
inline const Event kStartBeside = Start(kBeside, kBeside + L" /U a.ocx");

// The seven families as the layouts below set them up: the family name and the system folder in
// which its registrar lies.
struct FamilyRow {
    std::int32_t code;
    const wchar_t* family;
    const wchar_t* systemDir;
};
inline constexpr FamilyRow kFamilies[] = {
    {0, kFamilyNames[0], L"C:\\WINDOWS\\system"}, {1, kFamilyNames[1], L"C:\\WINDOWS\\system"},
    {2, kFamilyNames[2], L"C:\\WINDOWS\\system"}, {3, kFamilyNames[3], L"C:\\WINDOWS\\system"},
    {4, kFamilyNames[4], L"C:\\WINNT\\system32"}, {5, kFamilyNames[5], L"C:\\WINNT\\system32"},
    {6, kFamilyNames[6], L"C:\\WINDOWS\\system"},
};

class Bench {
   public:
    // W is C:\WINNT for codes 4 and 5 and C:\WINDOWS otherwise; both system folders exist, the
    // registrar lies only in the one the family's route names.
    explicit Bench(std::int32_t code) {
        platform.SetVersionCode(code);
        winDir = code == 4 || code == 5 ? L"C:\\WINNT" : L"C:\\WINDOWS";
        platform.windowsDirectory = winDir;
        platform.fs.AddFolder(winDir + L"\\system32");
        platform.fs.AddFolder(winDir + L"\\system");
        systemDir = kFamilies[code].systemDir;
        platform.fs.AddFile(systemDir + L"\\regsvr32.exe", kRegistrarBytes);
        platform.fs.AddFile(L"D:\\comp\\a.ocx", kComponentBytes);
        selection.folder = L"D:\\comp";
        selection.file = L"a.ocx";
    }

    Events Register() {
        return Run([this] { RegisterComponent(context); });
    }
    Events Unregister() {
        return Run([this] { UnregisterComponent(context); });
    }
    Events CleanUp(WorkingCopySpelling spelling) {
        return Run([this, spelling] { DeleteWorkingCopy(context, spelling); });
    }
    Events Close() {
        return Run([this] { DeletePlacedCopies(context); });
    }

    // Moves the registrar from the family's system folder to `dir` (or nowhere, when empty).
    void MoveRegistrarTo(const std::wstring& dir) {
        platform.fs.Remove(systemDir + L"\\regsvr32.exe");
        if (!dir.empty()) platform.fs.AddFile(dir + L"\\regsvr32.exe", kRegistrarBytes);
    }

    fake::MemoryPlatform platform;
    Module1 module{platform};
    PlainSelection selection;
    PlacedCopies placed;
    CommandContext context{platform, module, selection, placed};
    std::wstring winDir;
    std::wstring systemDir;

   private:
    template <typename F>
    Events Run(F command) {
        platform.events.clear();
        EXPECT_NO_THROW(command());
        for (const auto& start : platform.starts) {
            EXPECT_EQ(start.style, WindowStyle::MinimizedWithFocus) << ::testing::PrintToString(start.program);
            // Every registrar runs in its own folder, the working copy beside the component too;
            // one started from Sysnative knows its folder as system32.
            std::wstring folder = fake::MemoryFileSystem::ParentKey(fake::MemoryFileSystem::Key(start.program));
            if (folder.ends_with(L"\\SYSNATIVE")) folder.replace(folder.size() - 9, 9, L"SYSTEM32");
            EXPECT_EQ(fake::MemoryFileSystem::Key(start.currentFolder), folder)
                << ::testing::PrintToString(start.program) << " in " << ::testing::PrintToString(start.currentFolder);
        }
        platform.starts.clear();
        return platform.events;
    }
};

}  // namespace tervalux::testing
