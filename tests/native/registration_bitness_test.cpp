// On a 64-bit Windows the component's own bitness chooses the system directory of the system32
// route, for both commands and the clean-up; on a 32-bit Windows, and on the system route, nothing
// changes. Every row compares the exact copies and command lines (and, through the bench, that each
// registrar runs in its own folder).
#include <functional>
#include <optional>

#include "platform/pe_machine.h"
#include "registration/rules.h"
#include "tests/native/image_bytes.h"
#include "tests/native/registration_fixture.h"

namespace tervalux::testing {
namespace {

constexpr auto kThirtyTwo = SystemBitness::ThirtyTwoBit;
constexpr auto kSixtyFour = SystemBitness::SixtyFourBit;
constexpr auto kWow64 = SystemBitness::SixtyFourBitFromWow64;

const std::wstring kW = L"C:\\WINDOWS";
const std::wstring kSystem32 = kW + L"\\system32";
const std::wstring kSysWow64 = kW + L"\\SysWOW64";
const std::wstring kSysnative = kW + L"\\Sysnative";
const std::wstring kComponent = L"D:\\comp\\a.ocx";

const char* SystemName(SystemBitness bitness) {
    switch (bitness) {
        case SystemBitness::ThirtyTwoBit: return "32-bit system";
        case SystemBitness::SixtyFourBit: return "64-bit system, x64 build";
        case SystemBitness::SixtyFourBitFromWow64: return "64-bit system, x86 build under WOW64";
    }
    return "?";
}

// The component as the user picked it: an image of some machine, a file that is none, or nothing.
struct ComponentKind {
    const char* name;
    std::optional<std::uint16_t> machine;  // nothing: not an image
    bool present;
};
const ComponentKind kComponents[] = {
    {"I386", kMachineI386, true},     {"AMD64", kMachineAmd64, true},   {"ARM64", kMachineArm64, true},
    {"not a PE", std::nullopt, true}, {"missing", std::nullopt, false},
};

// Where the system32 route must work for this system and component.
std::wstring ExpectedDirectory(SystemBitness bitness, const ComponentKind& component) {
    if (bitness == kThirtyTwo || !component.machine) return kSystem32;
    if (*component.machine == kMachineI386) return kSysWow64;
    return bitness == kWow64 ? kSysnative : kSystem32;
}

// An XP-or-later layout: the family says system, but only system32 has a registrar, so the route
// by where the registrar is takes system32. A 64-bit system adds SysWOW64 with the 32-bit
// registrar; the x86 build sees the native folder as Sysnative (and system32 as its own).
struct SixtyFourBitBench : Bench {
    SixtyFourBitBench(SystemBitness bitness, const ComponentKind& component) : Bench(6) {
        MoveRegistrarTo(kSystem32);
        platform.bitness = bitness;
        if (bitness != kThirtyTwo) {
            platform.fs.AddFile(kSysWow64 + L"\\regsvr32.exe", "MZ 32-bit registrar");
            platform.fs.AddFile(kSystem32 + L"\\regsvr32.exe", "MZ 64-bit registrar");
        }
        if (bitness == kWow64) {
            platform.fs.AddFile(kSystem32 + L"\\regsvr32.exe", "MZ 32-bit registrar");  // redirected
            platform.fs.AddFile(kSysnative + L"\\regsvr32.exe", "MZ 64-bit registrar");
        }
        if (!component.present) {
            platform.fs.Remove(kComponent);
        } else if (component.machine) {
            platform.fs.AddFile(kComponent, ImageFile(*component.machine));
        }
    }
};

enum class Command { RegisterTicked, RegisterUnchecked, UnregisterPresent, UnregisterAbsent };

const char* CommandName(Command command) {
    switch (command) {
        case Command::RegisterTicked: return "register, box ticked";
        case Command::RegisterUnchecked: return "register, box unchecked";
        case Command::UnregisterPresent: return "unregister, component in the system directory";
        case Command::UnregisterAbsent: return "unregister, component not there";
    }
    return "?";
}

Events Expected(Command command, const std::wstring& dir, bool componentPresent) {
    const std::wstring registrar = dir + L"\\regsvr32.exe";
    switch (command) {
        case Command::RegisterTicked:
            if (!componentPresent) return {Report(err::FileNotFound)};
            return {Copy(kComponent, dir + L"\\a.ocx"), Start(registrar, registrar + L" a.ocx")};
        case Command::RegisterUnchecked:
            return {Copy(registrar, L"D:\\comp\\regsvr32.exe"),
                    Start(L"D:\\comp\\regsvr32.exe", L"D:\\comp\\regsvr32.exe a.ocx")};
        case Command::UnregisterPresent:
            if (componentPresent)
                return {Copy(kComponent, dir + L"\\a.ocx"), Start(registrar, registrar + L" /u a.ocx")};
            // Copying the missing component over the system's copy meets 53: the trap's fallback.
            [[fallthrough]];
        case Command::UnregisterAbsent:
            return {Copy(dir + L"\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE"),
                    Start(L"D:\\comp\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE /U a.ocx")};
    }
    return {};
}

TEST(SixtyFourBitRoute, EverySystemComponentAndCommand) {
    for (const SystemBitness bitness : {kThirtyTwo, kSixtyFour, kWow64}) {
        for (const ComponentKind& component : kComponents) {
            for (const Command command : {Command::RegisterTicked, Command::RegisterUnchecked,
                                          Command::UnregisterPresent, Command::UnregisterAbsent}) {
                SCOPED_TRACE(::testing::Message()
                             << SystemName(bitness) << ", " << component.name << ", " << CommandName(command));
                SixtyFourBitBench bench(bitness, component);
                const std::wstring dir = ExpectedDirectory(bitness, component);
                if (command == Command::UnregisterPresent) bench.platform.fs.AddFile(dir + L"\\a.ocx", "older copy");
                bench.selection.box = command == Command::RegisterUnchecked ? 0 : 1;
                const Events events = command == Command::RegisterTicked || command == Command::RegisterUnchecked
                                          ? bench.Register()
                                          : bench.Unregister();
                EXPECT_EQ(events, Expected(command, dir, component.present));
            }
        }
    }
}

// The directory chosen has no registrar (a 64-bit prefix without 32-bit support): the command fails
// as a missing registrar always does, and never runs the registrar of the other bitness.
TEST(SixtyFourBitRoute, NoRegistrarOfTheComponentsBitnessIsFileNotFound) {
    struct Case {
        Command command;
        Events expected;
    };
    const Case cases[] = {
        {Command::RegisterTicked, {Copy(kComponent, kSysWow64 + L"\\a.ocx"), Report(err::FileNotFound)}},
        {Command::RegisterUnchecked, {Report(err::FileNotFound)}},
        {Command::UnregisterPresent, {Copy(kComponent, kSysWow64 + L"\\a.ocx"), Report(err::FileNotFound)}},
        {Command::UnregisterAbsent, {Report(err::FileNotFound)}},
    };
    for (const SystemBitness bitness : {kSixtyFour, kWow64}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << SystemName(bitness) << ", " << CommandName(c.command));
            SixtyFourBitBench bench(bitness, kComponents[0]);
            bench.platform.fs.Remove(kSysWow64 + L"\\regsvr32.exe");
            if (c.command == Command::UnregisterPresent) bench.platform.fs.AddFile(kSysWow64 + L"\\a.ocx", "older");
            bench.selection.box = c.command == Command::RegisterUnchecked ? 0 : 1;
            const bool registering = c.command == Command::RegisterTicked || c.command == Command::RegisterUnchecked;
            EXPECT_EQ(registering ? bench.Register() : bench.Unregister(), c.expected);
        }
    }
}

// A family that works in system keeps doing so whatever the component's bitness.
TEST(SixtyFourBitRoute, SystemRouteIsNeverChanged) {
    for (const SystemBitness bitness : {kSixtyFour, kWow64}) {
        SCOPED_TRACE(SystemName(bitness));
        Bench bench(2);
        bench.platform.bitness = bitness;
        bench.platform.fs.AddFile(kComponent, ImageFile(kMachineI386));
        bench.platform.fs.AddFile(kSysWow64 + L"\\regsvr32.exe", "MZ 32-bit registrar");
        const std::wstring sys = kW + L"\\system";
        EXPECT_EQ(bench.Register(), Events({Copy(kComponent, sys + L"\\a.ocx"),
                                            Start(sys + L"\\regsvr32.exe", sys + L"\\regsvr32.exe a.ocx")}));
    }
}

// The trap's way into step 11, from the system32 route's own test of the target.
TEST(SixtyFourBitRoute, TrapFallbackWorksInTheComponentsDirectory) {
    SixtyFourBitBench bench(kSixtyFour, kComponents[0]);
    bench.platform.Fail(fake::Op::Attributes, kSysWow64 + L"\\a.ocx", err::FileNotFound);
    EXPECT_EQ(bench.Unregister(), Events({Copy(kSysWow64 + L"\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE"),
                                          Start(L"D:\\comp\\REGSVR32.EXE", L"D:\\comp\\REGSVR32.EXE /U a.ocx")}));
}

TEST(SixtyFourBitCleanUp, SystemDirectoriesOfEachSystem) {
    struct Case {
        const char* name;
        SystemBitness bitness;
        std::function<void(Bench&)> setup;
        bool deleted;
    };
    // This run placed D:\comp\regsvr32.exe, a copy of `registrar`, and remembers it as its own.
    const auto place = [](Bench& b, const std::wstring& registrar, const std::string& bytes) {
        b.platform.fs.AddFile(registrar, bytes);
        b.platform.fs.AddFile(L"D:\\comp\\regsvr32.exe", bytes);
        b.placed.Remember(*b.platform.IdentityOf(L"D:\\comp\\regsvr32.exe"), L"D:\\comp\\regsvr32.exe");
    };
    // Each registrar has bytes of its own, so only the system directories decide.
    const auto copyOf = [place](const std::wstring& registrar) {
        return [=](Bench& b) {
            place(b, registrar, "MZ registrar of " + std::string(registrar.begin(), registrar.end()));
        };
    };
    // The folder shown is a system directory whose registrar this run copied beside the component.
    // That registrar was there before the run; its bytes are also those of system's registrar.
    const auto shown = [place](const std::wstring& folder) {
        return [=](Bench& b) {
            place(b, folder + L"\\regsvr32.exe", kRegistrarBytes);
            b.selection.folder = folder;
        };
    };
    const Case cases[] = {
        {"64-bit: a copy of SysWOW64's registrar goes", kSixtyFour, copyOf(kSysWow64 + L"\\regsvr32.exe"), true},
        {"WOW64: a copy of SysWOW64's registrar goes", kWow64, copyOf(kSysWow64 + L"\\regsvr32.exe"), true},
        {"WOW64: a copy of Sysnative's registrar goes", kWow64, copyOf(kSysnative + L"\\regsvr32.exe"), true},
        {"64-bit: a copy of system32's registrar goes", kSixtyFour, copyOf(kSystem32 + L"\\regsvr32.exe"), true},
        {"32-bit: SysWOW64 is nobody's system directory there", kThirtyTwo, copyOf(kSysWow64 + L"\\regsvr32.exe"),
         false},
        {"64-bit: Sysnative is only the x86 build's alias", kSixtyFour, copyOf(kSysnative + L"\\regsvr32.exe"), false},
        {"64-bit: SysWOW64 shown, its registrar copied elsewhere stays", kSixtyFour, shown(kSysWow64), false},
        {"WOW64: SysWOW64 shown, spelt otherwise, stays", kWow64, shown(L"c:\\windows\\syswow64"), false},
        {"WOW64: Sysnative shown, its registrar copied elsewhere stays", kWow64, shown(kSysnative), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(6);
        bench.platform.bitness = c.bitness;
        c.setup(bench);
        const std::wstring copy = bench.selection.folder + L"\\regsvr32.exe";
        EXPECT_EQ(bench.CleanUp(WorkingCopySpelling::Register), c.deleted ? Events{Deleted(copy)} : Events{});
        EXPECT_EQ(bench.platform.fs.IsFile(copy), !c.deleted);
    }
}

TEST(SystemBitness, EachBuildReadsTheAnswersItHas) {
    struct Case {
        bool sixtyFourBitBuild;
        Wow64Answers answers;
        SystemBitness expected;
    };
    const Case cases[] = {
        {true, {}, kSixtyFour},
        {true, {0, false}, kSixtyFour},
        {false, {}, kThirtyTwo},  // neither call: older than 64-bit Windows
        {false, {std::nullopt, false}, kThirtyTwo},
        {false, {std::nullopt, true}, kWow64},
        {false, {kMachineI386, std::nullopt}, kWow64},
        {false, {kMachineI386, true}, kWow64},
        {false, {0, std::nullopt}, kThirtyTwo},
        {false, {0, true}, kThirtyTwo},  // the newer call is believed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BitnessOf(c.sixtyFourBitBuild, c.answers), c.expected)
            << c.sixtyFourBitBuild << " " << c.answers.processMachine.value_or(0xFFFF) << " "
            << c.answers.underWow64.value_or(false);
    }
}

}  // namespace
}  // namespace tervalux::testing
