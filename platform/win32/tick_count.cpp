#include "platform/win32/tick_count.h"

#include <atomic>

#include "platform/win32/system_function.h"

namespace tervalux::win32 {

namespace {

// The count last handed out, for the wraps of the 32-bit count. A caller that asks less than once
// in 49.7 days sees every wrap.
std::atomic<std::uint64_t> lastTickCount{0};

}  // namespace

ULONGLONG WINAPI TickCount64() noexcept {
    // Looked up at every call rather than kept in a guarded static: the C++ runtime's guard for a
    // static's first use is made of the very thread calls that call this.
    if (const auto system = SystemFunction<TickCountFn>(L"kernel32.dll", "GetTickCount64")) return system();
    std::uint64_t last = lastTickCount.load();
    std::uint64_t next = NextTickCount(last, GetTickCount());
    while (!lastTickCount.compare_exchange_weak(last, next)) next = NextTickCount(last, GetTickCount());
    return next;
}

}  // namespace tervalux::win32
