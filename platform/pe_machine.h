#pragma once
// The machine a Windows image is built for, from the first bytes of its file: what decides, on a
// 64-bit Windows, which of the two system directories (and registrars) a component belongs to.
// The bytes are anyone's: every offset is checked against what was read, and anything that is
// not a well-formed start of an image is "unknown".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tervalux {

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;
inline constexpr std::uint16_t kMachineArm64 = 0xAA64;

// As many bytes of the file's start as the reader looks at; the new header lies within them in
// every image a linker writes.
inline constexpr std::size_t kImageHeadBytes = 4096;

// The machine field of the image whose file starts with `head`: "MZ", the new header's offset
// (e_lfanew) inside `head`, "PE\0\0" there, then the machine. Nothing when any of them is not so.
std::optional<std::uint16_t> ImageMachine(std::span<const std::uint8_t> head) noexcept;

}  // namespace tervalux
