#include "platform/pe_machine.h"

namespace tervalux {

namespace {

constexpr std::size_t kNewHeaderOffsetAt = 0x3C;  // e_lfanew in the old header
constexpr std::size_t kSignatureBytes = 4;        // "PE\0\0"
constexpr std::size_t kMachineBytes = 2;

std::uint32_t LittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

std::optional<std::uint16_t> ImageMachine(std::span<const std::uint8_t> head) noexcept {
    if (head.size() < kNewHeaderOffsetAt + 4) return std::nullopt;
    if (head[0] != 'M' || head[1] != 'Z') return std::nullopt;
    const std::size_t newHeader = LittleEndian32(head, kNewHeaderOffsetAt);
    // Compared by subtraction so that an offset near the top of the range cannot wrap around.
    if (newHeader > head.size() || head.size() - newHeader < kSignatureBytes + kMachineBytes) return std::nullopt;
    if (head[newHeader] != 'P' || head[newHeader + 1] != 'E' || head[newHeader + 2] != 0 || head[newHeader + 3] != 0) {
        return std::nullopt;
    }
    const std::size_t machineAt = newHeader + kSignatureBytes;
    return static_cast<std::uint16_t>(head[machineAt] | head[machineAt + 1] << 8);
}

}  // namespace tervalux
