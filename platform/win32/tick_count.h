#pragma once
// Milliseconds since the system started, as a 64-bit count, on every Windows the program starts
// on: GetTickCount64 where kernel32 has it (Vista on), otherwise GetTickCount's 32-bit count,
// which wraps every 49.7 days, carried on past each wrap.
#include <windows.h>

#include <cstdint>

namespace tervalux::win32 {

// The 64-bit count that follows `last` when the 32-bit count reads `now`: a `now` below the low
// half of `last` means the 32-bit count has wrapped since.
constexpr std::uint64_t NextTickCount(std::uint64_t last, std::uint32_t now) {
    constexpr std::uint64_t kLowHalf = 0xFFFFFFFFull;
    const std::uint64_t next = (last & ~kLowHalf) | now;
    return next < last ? next + kLowHalf + 1 : next;
}

using TickCountFn = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI TickCount64() noexcept;

}  // namespace tervalux::win32
