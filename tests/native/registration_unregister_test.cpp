// The unregister command: its branches, and its trap passing over 58, falling back on 53 once, and
// reporting everything else.
#include <functional>

#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

enum class InSystem { Present, Absent, NoAttributes };

void PutComponent(Bench& bench, const std::wstring& sys, InSystem state) {
    if (state == InSystem::Absent) return;
    bench.platform.fs.AddFile(sys + L"\\a.ocx", "component v1", state == InSystem::Present ? fake::kArchive : 0);
}

TEST(UnregisterCommand, EveryFamilyWithTheComponentPresentAbsentOrWithoutAttributes) {
    for (const FamilyRow& family : kFamilies) {
        for (const InSystem state : {InSystem::Present, InSystem::Absent, InSystem::NoAttributes}) {
            SCOPED_TRACE(::testing::Message() << "code " << family.code << " state " << static_cast<int>(state));
            Bench bench(family.code);
            const std::wstring sys = family.systemDir;
            PutComponent(bench, sys, state);
            const bool system32 = family.code == 4 || family.code == 5;
            const Events branch =
                state == InSystem::Present ? Events{CopyIn(sys), StartIn(sys)} : Events{CopyBeside(sys), kStartBeside};
            // The system route unregisters a second time from the system folder, whichever branch ran;
            // a component its first branch already copied there is not written again.
            const Events again = state == InSystem::Present ? Events{StartIn(sys)} : Events{CopyIn(sys), StartIn(sys)};
            const Events expected = system32 ? branch : Then(branch, again);
            EXPECT_EQ(bench.Unregister(), expected);
            EXPECT_EQ(bench.module.WinFamily, family.family);
        }
    }
}

TEST(UnregisterCommand, AnyAttributeBitCountsAsPresent) {
    struct Case {
        std::uint32_t attributes;
        Events expected;
    };
    for (const Case& c : {
             Case{fake::kArchive, {CopyIn(kNt), StartIn(kNt)}}, Case{0x02, {CopyIn(kNt), StartIn(kNt)}},  // hidden
             Case{0x04, {CopyIn(kNt), StartIn(kNt)}},                                                     // system
             Case{0x06, {CopyIn(kNt), StartIn(kNt)}},
             // Read-only is present too; the copy over it is refused and reported.
             Case{fake::kReadOnly, {Report(err::PermissionDenied)}}, Case{0, {CopyBeside(kNt), kStartBeside}},
             // As the system reports a file with no classic bit: "normal", perhaps with newer bits.
             Case{0x80, {CopyBeside(kNt), kStartBeside}}, Case{0x80 | 0x2000, {CopyBeside(kNt), kStartBeside}},
             Case{0x2000 | fake::kArchive, {CopyIn(kNt), StartIn(kNt)}},
             Case{0x800 | 0x1000, {CopyBeside(kNt), kStartBeside}},  // compressed, offline
         }) {
        SCOPED_TRACE(c.attributes);
        Bench bench(4);
        bench.platform.fs.AddFile(kNt + L"\\a.ocx", "component v1", c.attributes);
        EXPECT_EQ(bench.Unregister(), c.expected);
    }
}

TEST(UnregisterCommand, BlankSelectionDoesNothing) {
    for (const auto& [folder, file] : {std::pair{L"", L"a.ocx"}, std::pair{L"  ", L"a.ocx"},
                                       std::pair{L"D:\\comp", L""}, std::pair{L"D:\\comp", L" "}}) {
        Bench bench(2);
        bench.selection.folder = folder;
        bench.selection.file = file;
        EXPECT_EQ(bench.Unregister(), Events{});
        EXPECT_EQ(bench.platform.windowsDirectoryCalls, 0);
        EXPECT_EQ(bench.module.WinFamily, L"");
    }
}

TEST(UnregisterCommand, IgnoresTheCheckBox) {
    for (const std::int32_t box : {0, 1, 2}) {
        Bench bench(2);
        bench.selection.box = box;
        EXPECT_EQ(bench.Unregister(), Events({CopyBeside(k9x), kStartBeside, CopyIn(k9x), StartIn(k9x)}));
        EXPECT_EQ(bench.selection.boxReads, 0);
    }
}

struct Case {
    const char* name;
    std::int32_t code;
    std::function<void(Bench&)> setup;
    Events expected;
};

// Registrars in both system folders, so the family alone picks the route.
void RegistrarsInBoth(Bench& bench) {
    bench.platform.fs.AddFile(bench.winDir + L"\\system32\\regsvr32.exe", kRegistrarBytes);
    bench.platform.fs.AddFile(bench.winDir + L"\\system\\regsvr32.exe", kRegistrarBytes);
}

TEST(UnregisterCommand, Routes) {
    const Case cases[] = {
        {"NT, component in system32: copied over it and unregistered there",
         4,
         [](Bench& b) { PutComponent(b, kNt, InSystem::Present); },
         {Copy(L"D:\\comp\\a.ocx", L"C:\\WINNT\\system32\\a.ocx"),
          Start(L"C:\\WINNT\\system32\\regsvr32.exe", L"C:\\WINNT\\system32\\regsvr32.exe /u a.ocx")}},
        {"NT, no component in system32: the working copy, no message",
         4,
         [](Bench&) {},
         {Copy(L"C:\\WINNT\\system32\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE"),
          Start(L"D:\\comp\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE /U a.ocx")}},
        {"98, no component in system: two registrar processes",
         2,
         [](Bench&) {},
         {Copy(L"C:\\WINDOWS\\system\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE"),
          Start(L"D:\\comp\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE /U a.ocx"),
          Copy(L"D:\\comp\\a.ocx", L"C:\\WINDOWS\\system\\a.ocx"),
          Start(L"C:\\WINDOWS\\system\\regsvr32.exe", L"C:\\WINDOWS\\system\\regsvr32.exe /u a.ocx")}},
        {"98, component in system: copied once and unregistered twice",
         2,
         [](Bench& b) { PutComponent(b, k9x, InSystem::Present); },
         {CopyIn(k9x), StartIn(k9x), StartIn(k9x)}},
        {"XP with the registrar only in system32, component there",
         6,
         [](Bench& b) {
             b.MoveRegistrarTo(kXp32);
             PutComponent(b, kXp32, InSystem::Present);
         },
         {CopyIn(kXp32), StartIn(kXp32)}},
        {"XP with the registrar only in system32, component absent: falls back in system32",
         6,
         [](Bench& b) { b.MoveRegistrarTo(kXp32); },
         {CopyBeside(kXp32), kStartBeside}},
        {"NT with the registrar only in system: system32's is missing, 53",
         4,
         [](Bench& b) { b.MoveRegistrarTo(kNtSystem); },
         {Report(53)}},
        {"98, the component's bytes already in system, read-only: started twice, nothing written",
         2,
         [](Bench& b) { b.platform.fs.AddFile(k9x + L"\\a.ocx", kComponentBytes, fake::kReadOnly); },
         {StartIn(k9x), StartIn(k9x)}},
        {"NT, the component's bytes already in system32: started, nothing written",
         4,
         [](Bench& b) { b.platform.fs.AddFile(kNt + L"\\a.ocx", kComponentBytes); },
         {StartIn(kNt)}},
        {"98, not in system: the copy after the working copy is made",
         2,
         [](Bench& b) { b.platform.Fail(fake::Op::Read, L"D:\\comp\\a.ocx", err::PermissionDenied); },
         {CopyBeside(k9x), kStartBeside, CopyIn(k9x), StartIn(k9x)}},
        {"98, the component unreadable: copied both times as ever",
         2,
         [](Bench& b) {
             b.platform.fs.AddFile(k9x + L"\\a.ocx", kComponentBytes);
             b.platform.Fail(fake::Op::Read, L"D:\\comp\\a.ocx", err::PermissionDenied);
         },
         {CopyIn(k9x), StartIn(k9x), CopyIn(k9x), StartIn(k9x)}},
        {"the working copy cannot be held: its 53 is reported, not taken for the fallback",
         2,
         [](Bench& b) { b.platform.Fail(fake::Op::Hold, kBeside, err::FileNotFound); },
         {CopyBeside(k9x), Report(53)}},
        {"drive root: two backslashes kept",
         2,
         [](Bench& b) {
             b.selection.folder = L"c:\\";
             b.platform.fs.AddFile(L"c:\\a.ocx", kComponentBytes);
         },
         {Copy(k9x + L"\\REGSVR32.EXE", L"c:\\\\REGSVR32.EXE"),
          Start(L"c:\\\\REGSVR32.EXE", L"c:\\\\REGSVR32.EXE /U a.ocx"), Copy(L"c:\\\\a.ocx", k9x + L"\\a.ocx"),
          StartIn(k9x)}},
        {"blanks in folder and name are quoted",
         2,
         [](Bench& b) {
             b.selection.folder = L"D:\\Meus componentes";
             b.selection.file = L"a b.ocx";
             b.platform.fs.AddFile(L"D:\\Meus componentes\\a b.ocx", kComponentBytes);
         },
         {Copy(k9x + L"\\REGSVR32.EXE", L"D:\\Meus componentes\\REGSVR32.EXE"),
          Start(L"D:\\Meus componentes\\REGSVR32.EXE", L"\"D:\\Meus componentes\\REGSVR32.EXE\" /U \"a b.ocx\""),
          Copy(L"D:\\Meus componentes\\a b.ocx", k9x + L"\\a b.ocx"),
          Start(k9x + L"\\regsvr32.exe", k9x + L"\\regsvr32.exe /u \"a b.ocx\"")}},
        {"component shown in the system folder is not copied onto itself (system)",
         2,
         [](Bench& b) {
             b.selection.folder = L"c:\\windows\\SYSTEM";
             PutComponent(b, k9x, InSystem::Present);
         },
         {StartIn(k9x), StartIn(k9x)}},
        {"component shown in the system folder is not copied onto itself (system32)",
         5,
         [](Bench& b) {
             b.selection.folder = L"C:\\WINNT\\System32";
             PutComponent(b, kNt, InSystem::Present);
         },
         {StartIn(kNt)}},
        {"a working copy left from before is used as it is",
         4,
         [](Bench& b) { b.platform.fs.AddFile(kBeside, kRegistrarBytes); },
         {kStartBeside}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.code);
        c.setup(bench);
        EXPECT_EQ(bench.Unregister(), c.expected);
    }
}

TEST(UnregisterCommand, FileExistsIsPassedOverAtTheStepThatRaisedIt) {
    using fake::Op;
    const Case cases[] = {
        // system32 route
        {"asking the attributes: goes on with the copy",
         4,
         [](Bench& b) { b.platform.Fail(Op::Attributes, kNt + L"\\a.ocx", 58, 1); },
         {CopyIn(kNt), StartIn(kNt)}},
        {"copying into system32: goes on with the start",
         4,
         [](Bench& b) {
             PutComponent(b, kNt, InSystem::Present);
             b.platform.Fail(Op::Copy, kNt + L"\\a.ocx", 58, 1);
         },
         {StartIn(kNt)}},
        {"starting from system32: ends",
         4,
         [](Bench& b) {
             PutComponent(b, kNt, InSystem::Present);
             b.platform.Fail(Op::Start, kNt + L"\\regsvr32.exe", 58, 1);
         },
         {CopyIn(kNt)}},
        {"starting the working copy: ends",
         4,
         [](Bench& b) {
             PutComponent(b, kNt, InSystem::NoAttributes);
             b.platform.Fail(Op::Start, kBeside, 58, 1);
         },
         {CopyBeside(kNt)}},
        // system route
        {"asking the attributes: goes on with the copy",
         2,
         [](Bench& b) { b.platform.Fail(Op::Attributes, k9x + L"\\a.ocx", 58, 1); },
         {CopyIn(k9x), StartIn(k9x), StartIn(k9x)}},
        {"first copy into system: goes on with the start",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::Present);
             b.platform.Fail(Op::Copy, k9x + L"\\a.ocx", 58, 1);
         },
         {StartIn(k9x), CopyIn(k9x), StartIn(k9x)}},
        {"first start from system: goes on with the second copy",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::Present);
             b.platform.Fail(Op::Start, k9x + L"\\regsvr32.exe", 58, 1);
         },
         {CopyIn(k9x), StartIn(k9x)}},
        {"starting the working copy: goes on with the copy into system",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::NoAttributes);
             b.platform.Fail(Op::Start, kBeside, 58, 1);
         },
         {CopyBeside(k9x), CopyIn(k9x), StartIn(k9x)}},
        {"last copy into system: goes on with the start",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::NoAttributes);
             b.platform.Fail(Op::Copy, k9x + L"\\a.ocx", 58, 1);
         },
         {CopyBeside(k9x), kStartBeside, StartIn(k9x)}},
        {"last start from system: ends",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::NoAttributes);
             b.platform.Fail(Op::Start, k9x + L"\\regsvr32.exe", 58, 1);
         },
         {CopyBeside(k9x), kStartBeside, CopyIn(k9x)}},
        // before the route
        {"reading the selection: ends", 2, [](Bench& b) { b.selection.throws = 58; }, {}},
        {"asking the version: the family as an earlier command left it picks the route",
         4,
         [](Bench& b) {
             RegistrarsInBoth(b);
             b.module.WinFamily = kFamilyNames[2];
             b.platform.versionThrows = 58;
         },
         {CopyBeside(kNtSystem), kStartBeside, CopyIn(kNtSystem), StartIn(kNtSystem)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << ": " << c.name);
        Bench bench(c.code);
        c.setup(bench);
        EXPECT_EQ(bench.Unregister(), c.expected);
    }
}

TEST(UnregisterCommand, FileNotFoundFallsBackOnceThenEveryErrorIsReported) {
    using fake::Op;
    const Case cases[] = {
        {"registrar nowhere, component in system32: reported from the fallback",
         4,
         [](Bench& b) {
             b.MoveRegistrarTo(L"");
             PutComponent(b, kNt, InSystem::Present);
         },
         {CopyIn(kNt), Report(53)}},
        {"registrar nowhere, component absent (system32)", 4, [](Bench& b) { b.MoveRegistrarTo(L""); }, {Report(53)}},
        {"registrar nowhere, component absent (system)", 2, [](Bench& b) { b.MoveRegistrarTo(L""); }, {Report(53)}},
        {"53 copying into system sends the command to the working copy",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::Present);
             b.platform.Fail(Op::Copy, k9x + L"\\a.ocx", 53, 1);
         },
         {CopyBeside(k9x), kStartBeside, CopyIn(k9x), StartIn(k9x)}},
        {"53 in the fallback's start is reported, not followed again",
         2,
         [](Bench& b) { b.platform.Fail(Op::Start, kBeside, 53, 1); },
         {CopyBeside(k9x), Report(53)}},
        {"58 in the fallback is reported: someone's own REGSVR32.EXE stays",
         4,
         [](Bench& b) { b.platform.fs.AddFile(kBeside, "foreign tool"); },
         {Report(58)}},
        {"an error in the fallback's last copy is reported after one start",
         2,
         [](Bench& b) { b.platform.Fail(Op::Copy, k9x + L"\\a.ocx", err::PermissionDenied); },
         {CopyBeside(k9x), kStartBeside, Report(err::PermissionDenied)}},
        {"first copy into system32 denied: reported, nothing started",
         4,
         [](Bench& b) {
             PutComponent(b, kNt, InSystem::Present);
             b.platform.Fail(Op::Copy, kNt + L"\\a.ocx", err::PermissionDenied);
         },
         {Report(err::PermissionDenied)}},
        {"first copy into system denied: reported, nothing started",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::Present);
             b.platform.Fail(Op::Copy, k9x + L"\\a.ocx", err::PermissionDenied);
         },
         {Report(err::PermissionDenied)}},
        {"a start refused with 5 is reported by its number",
         2,
         [](Bench& b) {
             PutComponent(b, k9x, InSystem::Present);
             b.platform.Fail(Op::Start, k9x + L"\\regsvr32.exe", err::InvalidCall);
         },
         {CopyIn(k9x), Message(L"Chamada de procedimento ou argumento inv\u00e1lido 5")}},
        {"53 asking the version: the family left from before is system32",
         4,
         [](Bench& b) {
             RegistrarsInBoth(b);
             b.module.WinFamily = kFamilyNames[4];
             b.platform.versionThrows = 53;
         },
         {CopyBeside(kNt), kStartBeside}},
        {"53 asking the version with no family yet: system",
         4,
         [](Bench& b) {
             RegistrarsInBoth(b);
             b.platform.versionThrows = 53;
         },
         {CopyBeside(kNtSystem), kStartBeside, CopyIn(kNtSystem), StartIn(kNtSystem)}},
        {"53 asking the Windows directory: the paths have no directory and fail",
         2,
         [](Bench& b) { b.platform.windowsDirectoryThrows = 53; },
         {Report(err::PathNotFound)}},
        {"any other error before the route is reported",
         2,
         [](Bench& b) { b.platform.windowsDirectoryThrows = err::DllLoad; },
         {Report(err::DllLoad)}},
        {"53 reading the selection: the fallback reads it again and reports",
         2,
         [](Bench& b) { b.selection.throws = 53; },
         {Report(53)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.code);
        c.setup(bench);
        EXPECT_EQ(bench.Unregister(), c.expected);
    }
}

TEST(UnregisterCommand, FamilyLeftByAnEarlierCommandDecidesAFallbackBeforeTheFamilyRule) {
    Bench bench(4);
    RegistrarsInBoth(bench);
    bench.Register();  // leaves "Windows NT"
    bench.platform.versionThrows = 53;
    EXPECT_EQ(bench.Unregister(), Events({CopyBeside(kNt), kStartBeside}));
    EXPECT_EQ(bench.module.WinFamily, kFamilyNames[4]);
}

TEST(UnregisterCommand, SomeonesRegistrarBesideTheComponentIsNeverOverwritten) {
    for (const InSystem state : {InSystem::Absent, InSystem::NoAttributes}) {
        Bench bench(2);
        PutComponent(bench, k9x, state);
        bench.platform.fs.AddFile(kBeside, "foreign tool");
        bench.Unregister();
        EXPECT_EQ(bench.platform.fs.Bytes(kBeside), "foreign tool");
        EXPECT_EQ(bench.CleanUp(WorkingCopySpelling::Unregister), Events{});
        EXPECT_TRUE(bench.platform.fs.IsFile(kBeside));
    }
}

}  // namespace
}  // namespace tervalux::testing
