// The clean-up of the registrar's working copy: only a true working copy goes, and nothing it meets
// is ever shown to the user.
#include <functional>

#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

struct Case {
    const char* name;
    std::int32_t code;
    WorkingCopySpelling spelling;
    std::function<void(Bench&)> setup;
    Events expected;
    const wchar_t* remains;  // a file that must still be there afterwards, or nullptr
};

constexpr auto kReg = WorkingCopySpelling::Register;
constexpr auto kUnreg = WorkingCopySpelling::Unregister;

void LeftOver(Bench& b) {
    b.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", kRegistrarBytes);
}

TEST(WorkingCopyCleanUp, Cases) {
    const Case cases[] = {
        {"a left-over copy goes (register spelling)", 4, kReg, LeftOver, {Deleted(L"D:\\comp\\regsvr32.exe")}, nullptr},
        {"a left-over copy goes (unregister spelling)",
         2,
         kUnreg,
         LeftOver,
         {Deleted(L"D:\\comp\\REGSVR32.EXE")},
         nullptr},
        {"a copy of the other system folder's registrar goes too",
         6,
         kReg,
         [](Bench& b) {
             b.platform.fs.AddFile(L"C:\\WINDOWS\\system32\\regsvr32.exe", "xp registrar");
             b.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", "xp registrar");
         },
         {Deleted(L"D:\\comp\\regsvr32.exe")},
         nullptr},
        {"drive root: two backslashes kept",
         2,
         kReg,
         [](Bench& b) {
             b.selection.folder = L"c:\\";
             b.platform.fs.AddFile(L"c:\\regsvr32.exe", kRegistrarBytes);
         },
         {Deleted(L"c:\\\\regsvr32.exe")},
         nullptr},
        {"no copy: silent", 2, kReg, [](Bench&) {}, {}, nullptr},
        {"someone's own regsvr32.exe stays",
         2,
         kReg,
         [](Bench& b) { b.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", "foreign tool"); },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"folder is system32: the system's registrar stays",
         4,
         kReg,
         [](Bench& b) { b.selection.folder = L"C:\\WINNT\\system32"; },
         {},
         L"C:\\WINNT\\system32\\regsvr32.exe"},
        {"folder is system, spelt otherwise: the system's registrar stays",
         2,
         kUnreg,
         [](Bench& b) { b.selection.folder = L"c:\\windows\\SYSTEM"; },
         {},
         L"C:\\WINDOWS\\system\\regsvr32.exe"},
        {"folder is the other system folder holding a copy: stays",
         4,
         kReg,
         [](Bench& b) {
             b.selection.folder = L"C:\\WINNT\\system";
             b.platform.fs.AddFile(L"C:\\WINNT\\system\\regsvr32.exe", kRegistrarBytes);
         },
         {},
         L"C:\\WINNT\\system\\regsvr32.exe"},
        {"copy in use: the delete fails silently",
         2,
         kReg,
         [](Bench& b) {
             LeftOver(b);
             b.platform.Fail(fake::Op::Delete, L"D:\\comp\\regsvr32.exe", err::PathFileAccess);
         },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"copy unreadable: kept",
         2,
         kReg,
         [](Bench& b) {
             LeftOver(b);
             b.platform.Fail(fake::Op::Read, L"D:\\comp\\regsvr32.exe", err::PermissionDenied);
         },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"probe failing: kept, silent",
         2,
         kReg,
         [](Bench& b) {
             LeftOver(b);
             b.platform.windowsDirectoryThrows = err::DllLoad;
         },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"no Windows directory reported: nothing to compare with, kept",
         2,
         kReg,
         [](Bench& b) {
             LeftOver(b);
             b.platform.windowsDirectory.reset();
         },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"folder unreadable: silent",
         2,
         kReg,
         [](Bench& b) {
             LeftOver(b);
             b.selection.throws = err::DeviceUnavailable;
         },
         {},
         L"D:\\comp\\regsvr32.exe"},
        {"folder gone: silent", 2, kReg, [](Bench& b) { b.selection.folder = L"E:\\gone"; }, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.code);
        c.setup(bench);
        EXPECT_EQ(bench.CleanUp(c.spelling), c.expected);
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
    EXPECT_EQ(bench.CleanUp(kReg), Events{Deleted(L"D:\\comp\\regsvr32.exe")});
    EXPECT_EQ(bench.CleanUp(kReg), Events{});
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
        EXPECT_EQ(bench.CleanUp(kReg), Events{});
        EXPECT_EQ(bench.CleanUp(kUnreg), Events{});
        EXPECT_EQ(bench.platform.fs.Bytes(bench.systemDir + L"\\regsvr32.exe"), kRegistrarBytes);
    }
}

}  // namespace
}  // namespace tervalux::testing
