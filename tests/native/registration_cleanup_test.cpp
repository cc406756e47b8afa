// The clean-up of the registrar's working copies: only a copy this run placed goes, wherever it was
// placed, and nothing it meets is ever shown to the user.
#include <functional>

#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

// When the clean-up comes: a command button loses the focus, or the window closes.
enum class When { RegisterLostFocus, UnregisterLostFocus, Closing };

struct Case {
    const char* name;
    std::int32_t code;
    When when;
    std::function<void(Bench&)> setup;
    Events expected;
    const wchar_t* remains;  // a file that must still be there afterwards, or nullptr
};

constexpr auto kReg = When::RegisterLostFocus;
constexpr auto kUnreg = When::UnregisterLostFocus;
constexpr auto kClosing = When::Closing;

Events CleanUpAt(Bench& b, When when) {
    if (when == kClosing) return b.Close();
    return b.CleanUp(when == kReg ? WorkingCopySpelling::Register : WorkingCopySpelling::Unregister);
}

constexpr const wchar_t* kCopy = L"D:\\comp\\regsvr32.exe";

// A copy this run placed: the register command with the box clear copies the registrar beside the
// component.
void Placed(Bench& b) {
    b.selection.box = 0;
    b.Register();
}

// The same beside a component in another folder, which is then the one shown.
std::function<void(Bench&)> PlacedIn(const std::wstring& folder) {
    return [folder](Bench& b) {
        b.selection.folder = folder;
        b.platform.fs.AddFile(folder + L"\\a.ocx", kComponentBytes);
        Placed(b);
    };
}

// The user's own copy of the registrar, or one an earlier run left: the same name and bytes.
void NotPlaced(Bench& b) {
    b.platform.fs.AddFile(kCopy, kRegistrarBytes);
}

TEST(WorkingCopyCleanUp, Cases) {
    const Case cases[] = {
        {"a copy this run placed goes (register spelling)", 4, kReg, Placed, {Deleted(kCopy)}, nullptr},
        {"a copy this run placed goes (unregister spelling)",
         2,
         kUnreg,
         Placed,
         {Deleted(L"D:\\comp\\REGSVR32.EXE")},
         nullptr},
        {"the unregister command's copy goes under the register spelling",
         2,
         kReg,
         [](Bench& b) { b.Unregister(); },
         {Deleted(kCopy)},
         nullptr},
        {"a copy of the other system folder's registrar goes too",
         6,
         kReg,
         [](Bench& b) {
             b.MoveRegistrarTo(L"C:\\WINDOWS\\system32");
             Placed(b);
         },
         {Deleted(kCopy)},
         nullptr},
        {"drive root: two backslashes kept",
         2,
         kReg,
         [](Bench& b) {
             b.selection.folder = L"c:\\";
             b.platform.fs.AddFile(L"c:\\a.ocx", kComponentBytes);
             Placed(b);
         },
         {Deleted(L"c:\\\\regsvr32.exe")},
         nullptr},
        {"placed, the folder changed and changed back: goes when shown again",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.fs.AddFolder(L"D:\\other");
             b.selection.folder = L"D:\\other";
             EXPECT_EQ(CleanUpAt(b, kReg), Events{});
             b.selection.folder = L"D:\\comp";
         },
         {Deleted(kCopy)},
         nullptr},
        {"a delete that failed once: the copy stays ours and goes at the next",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.Fail(fake::Op::Delete, kCopy, err::PermissionDenied, 1);
             EXPECT_EQ(CleanUpAt(b, kReg), Events{});
         },
         {Deleted(kCopy)},
         nullptr},
        {"no copy: silent", 2, kReg, [](Bench&) {}, {}, nullptr},
        {"the user's own copy, or one an earlier run left, stays", 2, kReg, NotPlaced, {}, kCopy},
        {"... also when a command used it there",
         2,
         kReg,
         [](Bench& b) {
             NotPlaced(b);
             Placed(b);
             b.Unregister();
         },
         {},
         kCopy},
        {"... also when this run placed a copy elsewhere",
         2,
         kReg,
         [](Bench& b) {
             b.platform.fs.AddFile(L"D:\\tools\\regsvr32.exe", kRegistrarBytes);
             Placed(b);
             b.selection.folder = L"D:\\tools";
         },
         {},
         L"D:\\tools\\regsvr32.exe"},
        {"placed, then deleted and made again by the user: not ours",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.fs.Remove(kCopy);
             NotPlaced(b);
         },
         {},
         kCopy},
        {"placed, then given other bytes: kept",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.WriteAsAnotherProgram(kCopy, "someone's tool");
         },
         {},
         kCopy},
        {"someone's own regsvr32.exe stays",
         2,
         kReg,
         [](Bench& b) {
             PlacedIn(L"D:\\other")(b);
             b.selection.folder = L"D:\\comp";
             b.platform.fs.AddFile(kCopy, "foreign tool");
         },
         {},
         kCopy},
        {"folder is system32: the system's registrar stays",
         4,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.selection.folder = L"C:\\WINNT\\system32";
         },
         {},
         L"C:\\WINNT\\system32\\regsvr32.exe"},
        {"folder is system, spelt otherwise: the system's registrar stays",
         2,
         kUnreg,
         [](Bench& b) {
             Placed(b);
             b.selection.folder = L"c:\\windows\\SYSTEM";
         },
         {},
         L"C:\\WINDOWS\\system\\regsvr32.exe"},
        {"a copy this run placed in the other system folder goes",
         4,
         kReg,
         PlacedIn(kNtSystem),
         {Deleted(kNtSystem + L"\\regsvr32.exe")},
         nullptr},
        {"XP and later: a copy this run placed in system goes, so that later runs keep system32's route",
         6,
         kReg,
         [](Bench& b) {
             b.MoveRegistrarTo(kXp32);
             PlacedIn(k9x)(b);
         },
         {Deleted(k9x + L"\\regsvr32.exe")},
         nullptr},
        {"closing: a copy placed in a folder no longer shown goes",
         2,
         kClosing,
         [](Bench& b) {
             Placed(b);
             b.selection.folder = L"D:\\other";
         },
         {Deleted(kCopy)},
         nullptr},
        {"closing: a copy in a folder that tells case apart goes under the spelling it was placed by",
         2,
         kClosing,
         [](Bench& b) {
             b.platform.fs.SetTellsCaseApart(L"D:\\comp");
             b.Unregister();
         },
         {Deleted(kBeside)},
         nullptr},
        {"a server that gives every file the id zero: the copy is never known as ours, and stays",
         2,
         kReg,
         [](Bench& b) {
             b.platform.drivesWithoutFileIds.insert(L'D');
             Placed(b);
         },
         {},
         kCopy},
        {"replaced by the same bytes between the check and the delete: the file deleted is the one checked",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.afterCompare = [&b] {
                 b.platform.afterCompare = nullptr;
                 b.platform.fs.Remove(kCopy);
                 b.platform.fs.AddFile(kCopy, kRegistrarBytes);
             };
         },
         {},
         kCopy},
        {"copy in use: the delete fails silently",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.Fail(fake::Op::Delete, kCopy, err::PathFileAccess);
         },
         {},
         kCopy},
        {"copy held by another program: kept",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.Fail(fake::Op::Hold, kCopy, err::PermissionDenied);
         },
         {},
         kCopy},
        {"copy unreadable: kept",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.Fail(fake::Op::Read, kCopy, err::PermissionDenied);
         },
         {},
         kCopy},
        {"probe failing: kept, silent",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.windowsDirectoryThrows = err::DllLoad;
         },
         {},
         kCopy},
        {"no Windows directory reported: nothing to compare with, kept",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.platform.windowsDirectory.reset();
         },
         {},
         kCopy},
        {"folder unreadable: silent",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.selection.throws = err::DeviceUnavailable;
         },
         {},
         kCopy},
        {"folder gone: silent",
         2,
         kReg,
         [](Bench& b) {
             Placed(b);
             b.selection.folder = L"E:\\gone";
         },
         {},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.code);
        c.setup(bench);
        EXPECT_EQ(CleanUpAt(bench, c.when), c.expected);
        if (c.remains) {
            EXPECT_TRUE(bench.platform.fs.IsFile(c.remains));
        }
        EXPECT_TRUE(bench.platform.messages.empty());
    }
}

TEST(WorkingCopyCleanUp, RemovesWhatTheRegisterCommandLeftAndNothingElse) {
    Bench bench(2);
    bench.selection.box = 0;
    bench.Register();
    ASSERT_TRUE(bench.platform.fs.IsFile(L"D:\\comp\\regsvr32.exe"));
    EXPECT_EQ(CleanUpAt(bench, kReg), Events{Deleted(L"D:\\comp\\regsvr32.exe")});
    EXPECT_EQ(CleanUpAt(bench, kReg), Events{});
    EXPECT_TRUE(bench.platform.fs.IsFile(L"C:\\WINDOWS\\system\\regsvr32.exe"));
    EXPECT_TRUE(bench.platform.fs.IsFile(L"D:\\comp\\a.ocx"));
}

TEST(WorkingCopyCleanUp, SystemRegistrarSurvivesARegisterRunFromTheSystemFolder) {
    for (const std::int32_t code : {2, 4}) {
        Bench bench(code);
        bench.selection.box = 0;
        bench.selection.folder = bench.systemDir;
        bench.platform.fs.AddFile(bench.systemDir + L"\\a.ocx", kComponentBytes);
        bench.Register();
        bench.Unregister();
        EXPECT_EQ(CleanUpAt(bench, kReg), Events{});
        EXPECT_EQ(CleanUpAt(bench, kUnreg), Events{});
        EXPECT_EQ(bench.platform.fs.Bytes(bench.systemDir + L"\\regsvr32.exe"), kRegistrarBytes);
    }
}

}  // namespace
}  // namespace tervalux::testing
