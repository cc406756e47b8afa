// Someone's own regsvr32.exe beside the component: every way a command reaches the copy of the
// registrar beside the component meets it, reports "O arquivo já existe 58", starts nothing, goes
// no further and leaves the file's bytes as they were.
#include <functional>

#include "registration/rules.h"
#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

const std::string kForeignBytes = "someone's own tool, run as administrator";

struct Way {
    const char* name;
    std::int32_t code;
    bool unregister;
    std::int32_t box;
    std::function<void(Bench&)> setup;
};

void InSystemWith(Bench& bench, const std::wstring& sys, std::uint32_t attributes) {
    bench.platform.fs.AddFile(sys + L"\\a.ocx", "component v1", attributes);
}

TEST(ForeignRegistrar, EveryWayToTheWorkingCopyStopsAtIt) {
    const Way ways[] = {
        {"register, box clear (system route)", 2, false, 0, [](Bench&) {}},
        {"register, box clear (system32 route)", 4, false, 0, [](Bench&) {}},
        {"register, box grayed", 2, false, 2, [](Bench&) {}},
        {"unregister step 11 through the trap: not in system32", 4, true, 1, [](Bench&) {}},
        {"unregister step 11 through attribute 0", 4, true, 1, [](Bench& b) { InSystemWith(b, kNt, 0); }},
        {"unregister step 11 through 'normal' alone", 4, true, 1, [](Bench& b) { InSystemWith(b, kNt, 0x80); }},
        {"unregister step 17 through the trap: not in system", 2, true, 1, [](Bench&) {}},
        {"unregister step 17 through attribute 0", 2, true, 1, [](Bench& b) { InSystemWith(b, k9x, 0); }},
        {"unregister step 17 through 'normal' and not indexed", 2, true, 1,
         [](Bench& b) { InSystemWith(b, k9x, 0x80 | 0x2000); }},
        {"unregister step 17 through the trap after 53 in the first copy", 2, true, 1,
         [](Bench& b) {
             InSystemWith(b, k9x, fake::kArchive);
             b.platform.Fail(fake::Op::Copy, k9x + L"\\a.ocx", err::FileNotFound, 1);
         }},
        {"unregister step 11 through the trap after 53 asking the attributes", 4, true, 1,
         [](Bench& b) { b.platform.Fail(fake::Op::Attributes, kNt + L"\\a.ocx", err::FileNotFound, 1); }},
        {"unregister on XP: the system route with the registrar in system32", 6, true, 1,
         [](Bench& b) { b.MoveRegistrarTo(L"C:\\WINDOWS\\system32"); }},
    };
    for (const Way& way : ways) {
        for (const wchar_t* spelling : {L"regsvr32.exe", L"REGSVR32.EXE", L"RegSvr32.Exe"}) {
            SCOPED_TRACE(::testing::Message() << way.name << ", stands as " << ::testing::PrintToString(spelling));
            Bench bench(way.code);
            bench.selection.box = way.box;
            way.setup(bench);
            const std::wstring foreign = std::wstring(L"D:\\comp\\") + spelling;
            bench.platform.fs.AddFile(foreign, kForeignBytes);
            const Events events = way.unregister ? bench.Unregister() : bench.Register();
            EXPECT_EQ(events, Events{Report(err::FileAlreadyExists)});
            EXPECT_EQ(bench.platform.fs.Bytes(foreign), kForeignBytes);
        }
    }
}

// A step that starts the working copy may be reached without the copy before it having run; the
// start itself still refuses anything but the registrar's bytes, and says so. What starts is what
// was compared: the copy is held from the comparison to the start.
TEST(ForeignRegistrar, TheStartOfAWorkingCopyChecksItsBytes) {
    struct Case {
        const char* name;
        std::function<void(Bench&)> put;
        Events expected;
    };
    const std::wstring beside = L"D:\\comp\\REGSVR32.EXE";
    const Case cases[] = {
        {"foreign bytes",
         [&](Bench& b) { b.platform.fs.AddFile(beside, kForeignBytes); },
         {Report(err::FileAlreadyExists)}},
        {"the registrar's bytes",
         [&](Bench& b) { b.platform.fs.AddFile(beside, kRegistrarBytes); },
         {Start(beside, beside + L" /U a.ocx")}},
        {"nothing there: its own error", [](Bench&) {}, {Report(err::FileNotFound)}},
        {"the registrar with one byte more",
         [&](Bench& b) { b.platform.fs.AddFile(beside, kRegistrarBytes + "x"); },
         {Report(err::FileAlreadyExists)}},
        {"replaced between the comparison and the start: the replacement is refused",
         [&](Bench& b) {
             b.platform.fs.AddFile(beside, kRegistrarBytes);
             b.platform.afterCompare = [&b, beside] {
                 EXPECT_FALSE(b.platform.WriteAsAnotherProgram(beside, kForeignBytes));
             };
         },
         {Start(beside, beside + L" /U a.ocx")}},
        {"held by another program: its error, nothing started",
         [&](Bench& b) {
             b.platform.fs.AddFile(beside, kRegistrarBytes);
             b.platform.Fail(fake::Op::Hold, beside, err::PermissionDenied);
         },
         {Report(err::PermissionDenied)}},
        {"the system's registrar cannot be read: its error, not someone's file",
         [&](Bench& b) {
             b.platform.fs.AddFile(beside, kRegistrarBytes);
             b.platform.Fail(fake::Op::Read, kNt + L"\\REGSVR32.EXE", err::PermissionDenied);
         },
         {Report(err::PermissionDenied)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(4);
        c.put(bench);
        bench.platform.events.clear();
        const bool started = StartWorkingCopy(bench.platform, nullptr, kNt + L"\\REGSVR32.EXE", L"D:\\comp", beside,
                                              kUnregisterBesideSwitch, L"a.ocx");
        EXPECT_EQ(started, c.expected.front().what == L"start");
        EXPECT_EQ(bench.platform.events, c.expected);
        if (started) {
            EXPECT_EQ(bench.platform.startedBytes, std::vector<std::string>{kRegistrarBytes});
        }
        EXPECT_FALSE(bench.platform.IsHeld(beside));
    }
}

}  // namespace
}  // namespace tervalux::testing
