// The register command and the rules it shares with the unregister command.
#include <functional>

#include "registration/rules.h"
#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

const std::wstring kNotAProgram = L"Verifique se o arquivo que est\u00e1 tentando executar \u00e9 um aplicativo '.exe'";

TEST(FamilyRule, OnlyNtAndTwoThousandWorkInSystem32) {
    struct Case {
        const wchar_t* family;
        Route route;
    };
    for (const Case& c :
         {Case{kFamilyNames[4], Route::System32}, Case{kFamilyNames[5], Route::System32},
          Case{L"windows nt", Route::System32}, Case{L"WINDOWS 2000", Route::System32},
          Case{kFamilyNames[6], Route::System}, Case{kFamilyNames[0], Route::System},
          Case{kFamilyNames[2], Route::System}, Case{L"", Route::System}, Case{L"Windows NT ", Route::System}}) {
        EXPECT_EQ(FamilyRoute(c.family), c.route) << ::testing::PrintToString(std::wstring(c.family));
    }
}

TEST(StartRule, CommandLineQuotesOnlyPartsThatWouldSplit) {
    struct Case {
        const wchar_t* registrar;
        std::wstring_view switchText;
        const wchar_t* name;
        const wchar_t* line;
    };
    for (const Case& c : {
             Case{L"C:\\WINNT\\system32\\regsvr32.exe", kRegisterSwitch, L"a.ocx",
                  L"C:\\WINNT\\system32\\regsvr32.exe a.ocx"},
             Case{L"D:\\comp\\REGSVR32.EXE", kUnregisterBesideSwitch, L"a.ocx", L"D:\\comp\\REGSVR32.EXE /U a.ocx"},
             Case{L"C:\\W\\system\\regsvr32.exe", kUnregisterSystemSwitch, L"a.ocx",
                  L"C:\\W\\system\\regsvr32.exe /u a.ocx"},
             Case{L"c:\\\\regsvr32.exe", kRegisterSwitch, L"a.ocx", L"c:\\\\regsvr32.exe a.ocx"},
             Case{L"D:\\Meus componentes\\regsvr32.exe", kRegisterSwitch, L"a.ocx",
                  L"\"D:\\Meus componentes\\regsvr32.exe\" a.ocx"},
             Case{L"D:\\comp\\regsvr32.exe", kRegisterSwitch, L"a b.ocx", L"D:\\comp\\regsvr32.exe \"a b.ocx\""},
             Case{L"D:\\comp\\regsvr32.exe", kRegisterSwitch, L"a\tb.ocx", L"D:\\comp\\regsvr32.exe \"a\tb.ocx\""},
             Case{L"D:\\a\u00e7\u00e3o\\regsvr32.exe", kRegisterSwitch, L"\u00e7.ocx",
                  L"D:\\a\u00e7\u00e3o\\regsvr32.exe \u00e7.ocx"},
         }) {
        EXPECT_EQ(RegistrarCommandLine(c.registrar, c.switchText, c.name), c.line);
    }
}

TEST(RegisterCommand, EveryFamilyTakesItsRouteAndOnlyBoxOneCopiesTheComponent) {
    for (const FamilyRow& family : kFamilies) {
        for (const std::int32_t box : {1, 0, 2, -1}) {
            SCOPED_TRACE(::testing::Message() << "code " << family.code << " box " << box);
            Bench bench(family.code);
            bench.selection.box = box;
            const std::wstring sys = family.systemDir;
            const Events expected = box == 1
                                        ? Events{Copy(L"D:\\comp\\a.ocx", sys + L"\\a.ocx"),
                                                 Start(sys + L"\\regsvr32.exe", sys + L"\\regsvr32.exe a.ocx")}
                                        : Events{Copy(sys + L"\\regsvr32.exe", L"D:\\comp\\regsvr32.exe"),
                                                 Start(L"D:\\comp\\regsvr32.exe", L"D:\\comp\\regsvr32.exe a.ocx")};
            EXPECT_EQ(bench.Register(), expected);
            EXPECT_EQ(bench.module.WinFamily, family.family);
        }
    }
}

TEST(RegisterCommand, BlankSelectionDoesNothing) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* file;
    };
    for (const Case& c :
         {Case{L"", L"a.ocx"}, Case{L"   ", L"a.ocx"}, Case{L"D:\\comp", L""}, Case{L"D:\\comp", L"   "}}) {
        Bench bench(5);
        bench.module.WinFamily = kFamilyNames[2];
        bench.selection.folder = c.folder;
        bench.selection.file = c.file;
        EXPECT_EQ(bench.Register(), Events{});
        // Not even the probe runs, so the family from an earlier command stays.
        EXPECT_EQ(bench.platform.windowsDirectoryCalls + bench.platform.versionCalls, 0);
        EXPECT_EQ(bench.module.WinFamily, kFamilyNames[2]);
    }
}

struct Case {
    const char* name;
    std::int32_t code;
    std::int32_t box;
    std::function<void(Bench&)> setup;
    Events expected;
};

void NoSetup(Bench&) {}

TEST(RegisterCommand, Cases) {
    const Case cases[] = {
        {"2000, box ticked: component into system32",
         5,
         1,
         NoSetup,
         {Copy(L"D:\\comp\\a.ocx", L"C:\\WINNT\\system32\\a.ocx"),
          Start(L"C:\\WINNT\\system32\\regsvr32.exe", L"C:\\WINNT\\system32\\regsvr32.exe a.ocx")}},
        {"98, box clear: registrar beside the component",
         2,
         0,
         NoSetup,
         {Copy(L"C:\\WINDOWS\\system\\regsvr32.exe", L"D:\\comp\\regsvr32.exe"),
          Start(L"D:\\comp\\regsvr32.exe", L"D:\\comp\\regsvr32.exe a.ocx")}},
        {"drive root, box ticked: two backslashes kept",
         2,
         1,
         [](Bench& b) {
             b.selection.folder = L"c:\\";
             b.platform.fs.AddFile(L"c:\\a.ocx", kComponentBytes);
         },
         {Copy(L"c:\\\\a.ocx", k9x + L"\\a.ocx"), Start(k9x + L"\\regsvr32.exe", k9x + L"\\regsvr32.exe a.ocx")}},
        {"drive root, box clear",
         2,
         0,
         [](Bench& b) {
             b.selection.folder = L"c:\\";
             b.platform.fs.AddFile(L"c:\\a.ocx", kComponentBytes);
         },
         {Copy(k9x + L"\\regsvr32.exe", L"c:\\\\regsvr32.exe"),
          Start(L"c:\\\\regsvr32.exe", L"c:\\\\regsvr32.exe a.ocx")}},
        {"no registrar anywhere, box ticked: the copy stays, nothing starts",
         5,
         1,
         [](Bench& b) { b.MoveRegistrarTo(L""); },
         {Copy(L"D:\\comp\\a.ocx", kNt + L"\\a.ocx"), Report(53)}},
        {"no registrar anywhere, box clear", 2, 0, [](Bench& b) { b.MoveRegistrarTo(L""); }, {Report(53)}},
        {"start refused with 5: the program hint",
         4,
         1,
         [](Bench& b) { b.platform.Fail(fake::Op::Start, kNt + L"\\regsvr32.exe", err::InvalidCall); },
         {Copy(L"D:\\comp\\a.ocx", kNt + L"\\a.ocx"), Message(kNotAProgram)}},
        {"copy into the system folder denied: reported, nothing starts",
         2,
         1,
         [](Bench& b) { b.platform.Fail(fake::Op::Copy, k9x + L"\\a.ocx", err::PermissionDenied); },
         {Message(L"Permiss\u00e3o negada 70")}},
        {"disk full on the working copy",
         3,
         0,
         [](Bench& b) { b.platform.Fail(fake::Op::Copy, L"D:\\comp\\regsvr32.exe", err::DiskFull); },
         {Message(L"Disco cheio 61")}},
        {"XP with the registrar only in system32, box ticked",
         6,
         1,
         [](Bench& b) { b.MoveRegistrarTo(kXp32); },
         {Copy(L"D:\\comp\\a.ocx", kXp32 + L"\\a.ocx"),
          Start(kXp32 + L"\\regsvr32.exe", kXp32 + L"\\regsvr32.exe a.ocx")}},
        {"XP with the registrar only in system32, box clear",
         6,
         0,
         [](Bench& b) { b.MoveRegistrarTo(kXp32); },
         {Copy(kXp32 + L"\\regsvr32.exe", L"D:\\comp\\regsvr32.exe"),
          Start(L"D:\\comp\\regsvr32.exe", L"D:\\comp\\regsvr32.exe a.ocx")}},
        {"NT with the registrar only in system: system32's is missing, 53",
         4,
         1,
         [](Bench& b) { b.MoveRegistrarTo(kNtSystem); },
         {Copy(L"D:\\comp\\a.ocx", kNt + L"\\a.ocx"), Report(53)}},
        {"NT with the registrar only in system, box clear: 53",
         4,
         0,
         [](Bench& b) { b.MoveRegistrarTo(kNtSystem); },
         {Report(53)}},
        {"the component's bytes already in system32: nothing written",
         4,
         1,
         [](Bench& b) { b.platform.fs.AddFile(kNt + L"\\a.ocx", kComponentBytes, fake::kReadOnly); },
         {Start(kNt + L"\\regsvr32.exe", kNt + L"\\regsvr32.exe a.ocx")}},
        {"the component unreadable: copied as ever, and the copy's error is reported",
         4,
         1,
         [](Bench& b) {
             b.platform.fs.AddFile(kNt + L"\\a.ocx", kComponentBytes);
             b.platform.Fail(fake::Op::Read, L"D:\\comp\\a.ocx", err::PermissionDenied);
             b.platform.Fail(fake::Op::Copy, L"D:\\comp\\a.ocx", err::PermissionDenied);
         },
         {Report(err::PermissionDenied)}},
        {"the copy in system32 unreadable: copied over",
         4,
         1,
         [](Bench& b) {
             b.platform.fs.AddFile(kNt + L"\\a.ocx", kComponentBytes);
             b.platform.Fail(fake::Op::Read, kNt + L"\\a.ocx", err::PermissionDenied);
         },
         {Copy(L"D:\\comp\\a.ocx", kNt + L"\\a.ocx"), Start(kNt + L"\\regsvr32.exe", kNt + L"\\regsvr32.exe a.ocx")}},
        {"a fault of the program is an internal error, not the program hint",
         4,
         1,
         [](Bench& b) { b.platform.Fail(fake::Op::Copy, kNt + L"\\a.ocx", fake::kProgramFault); },
         {Message(L"Erro interno 51")}},
        {"blanks in folder and name, box clear",
         2,
         0,
         [](Bench& b) {
             b.selection.folder = L"D:\\Meus componentes";
             b.selection.file = L"a b.ocx";
             b.platform.fs.AddFile(L"D:\\Meus componentes\\a b.ocx", kComponentBytes);
         },
         {Copy(k9x + L"\\regsvr32.exe", L"D:\\Meus componentes\\regsvr32.exe"),
          Start(L"D:\\Meus componentes\\regsvr32.exe", L"\"D:\\Meus componentes\\regsvr32.exe\" \"a b.ocx\"")}},
        {"blanks in the name, box ticked",
         2,
         1,
         [](Bench& b) {
             b.selection.file = L"a b.ocx";
             b.platform.fs.AddFile(L"D:\\comp\\a b.ocx", kComponentBytes);
         },
         {Copy(L"D:\\comp\\a b.ocx", k9x + L"\\a b.ocx"),
          Start(k9x + L"\\regsvr32.exe", k9x + L"\\regsvr32.exe \"a b.ocx\"")}},
        {"component already in the system folder: not copied onto itself",
         2,
         1,
         [](Bench& b) {
             b.selection.folder = L"c:\\windows\\SYSTEM";
             b.platform.fs.AddFile(k9x + L"\\a.ocx", kComponentBytes);
         },
         {Start(k9x + L"\\regsvr32.exe", k9x + L"\\regsvr32.exe a.ocx")}},
        {"folder is the system folder, box clear: the registrar is its own working copy",
         4,
         0,
         [](Bench& b) {
             b.selection.folder = kNt;
             b.platform.fs.AddFile(kNt + L"\\a.ocx", kComponentBytes);
         },
         {Start(kNt + L"\\regsvr32.exe", kNt + L"\\regsvr32.exe a.ocx")}},
        {"someone's own regsvr32.exe beside the component is never replaced",
         2,
         0,
         [](Bench& b) { b.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", "foreign tool"); },
         {Report(58)}},
        {"a working copy left from before is used as it is",
         2,
         0,
         [](Bench& b) { b.platform.fs.AddFile(L"D:\\COMP\\REGSVR32.EXE", kRegistrarBytes); },
         {Start(L"D:\\comp\\regsvr32.exe", L"D:\\comp\\regsvr32.exe a.ocx")}},
        {"a failing folder read is reported",
         2,
         1,
         [](Bench& b) { b.selection.throws = err::DeviceUnavailable; },
         {Report(err::DeviceUnavailable)}},
        {"the probe failing to bind is reported",
         2,
         1,
         [](Bench& b) { b.platform.versionThrows = err::DllEntryPoint; },
         {Message(L"Ponto de entrada da DLL n\u00e3o encontrado 453")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(c.code);
        bench.selection.box = c.box;
        c.setup(bench);
        EXPECT_EQ(bench.Register(), c.expected);
    }
}

TEST(RegisterCommand, RouteFollowsTheRegistrarButTheFamilyNameStays) {
    Bench bench(6);
    bench.MoveRegistrarTo(kXp32);
    bench.Register();
    EXPECT_EQ(bench.module.WinFamily, kFamilyNames[6]);
    EXPECT_TRUE(bench.platform.fs.IsFile(kXp32 + L"\\a.ocx"));
    EXPECT_FALSE(bench.platform.fs.IsFile(k9x + L"\\a.ocx"));
}

TEST(RegisterCommand, ForeignRegistrarBesideTheComponentKeepsItsBytes) {
    Bench bench(2);
    bench.selection.box = 0;
    bench.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", "foreign tool");
    bench.Register();
    EXPECT_EQ(bench.platform.fs.Bytes(L"D:\\comp\\regsvr32.exe"), "foreign tool");
    EXPECT_EQ(bench.CleanUp(WorkingCopySpelling::Register), Events{});
    EXPECT_EQ(bench.platform.fs.Bytes(L"D:\\comp\\regsvr32.exe"), "foreign tool");
}

TEST(RegisterCommand, ComponentCopyReplacesAnOlderOneInTheSystemFolder) {
    Bench bench(4);
    bench.platform.fs.AddFile(kNt + L"\\a.ocx", "component v1");
    bench.Register();
    EXPECT_EQ(bench.platform.fs.Bytes(kNt + L"\\a.ocx"), kComponentBytes);
}

TEST(RegisterCommand, ReadsTheCheckBoxAndSelectionAfresh) {
    Bench bench(2);
    bench.Register();
    bench.selection.box = 0;
    const Events second = bench.Register();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second.front(), Copy(k9x + L"\\regsvr32.exe", L"D:\\comp\\regsvr32.exe"));
    EXPECT_EQ(bench.platform.windowsDirectoryCalls, 2);
    EXPECT_EQ(bench.platform.versionCalls, 2);
}

}  // namespace
}  // namespace tervalux::testing
