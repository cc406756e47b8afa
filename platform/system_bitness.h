#pragma once
// How the running program sees the system's directories. A 64-bit Windows has two: system32 for
// 64-bit code and SysWOW64 for 32-bit code, each with its own registrar, and a 32-bit program
// under WOW64 reaches the native one only through the alias Sysnative.
#include <cstdint>
#include <optional>

namespace tervalux {

enum class SystemBitness {
    ThirtyTwoBit,          // a 32-bit Windows: one system directory for all code
    SixtyFourBit,          // a 64-bit Windows, seen by the 64-bit build
    SixtyFourBitFromWow64  // a 64-bit Windows, seen by the 32-bit build under WOW64
};

// What a 32-bit build learns from the system. Either call may be missing from an older system,
// or may fail; then its answer is nothing.
struct Wow64Answers {
    std::optional<std::uint16_t> processMachine;  // IsWow64Process2: 0 when the process is not under WOW64
    std::optional<bool> underWow64;               // IsWow64Process
};

// The 64-bit build runs only on a 64-bit Windows. The 32-bit build believes IsWow64Process2 where
// it answered, else IsWow64Process, else counts the system as 32-bit: a system that has neither
// call predates 64-bit Windows on its processor.
constexpr SystemBitness BitnessOf(bool sixtyFourBitBuild, const Wow64Answers& answers) {
    if (sixtyFourBitBuild) return SystemBitness::SixtyFourBit;
    bool underWow64 = false;
    if (answers.processMachine) {
        underWow64 = *answers.processMachine != 0;
    } else if (answers.underWow64) {
        underWow64 = *answers.underWow64;
    }
    return underWow64 ? SystemBitness::SixtyFourBitFromWow64 : SystemBitness::ThirtyTwoBit;
}

}  // namespace tervalux
