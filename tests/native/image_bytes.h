#pragma once
// The start of a Windows image as a linker writes it, for tests of what is read from it: the old
// header with e_lfanew, a stub, then the new header's signature and machine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tervalux::testing {

using ImageBytes = std::vector<std::uint8_t>;

inline ImageBytes Image(std::uint16_t machine, std::uint32_t newHeader = 0x80, std::size_t size = 0x200) {
    ImageBytes bytes(size, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<std::uint8_t>(newHeader >> (8 * i));
    if (newHeader <= size && size - newHeader >= 6) {
        bytes[newHeader] = 'P';
        bytes[newHeader + 1] = 'E';
        bytes[newHeader + 4] = static_cast<std::uint8_t>(machine);
        bytes[newHeader + 5] = static_cast<std::uint8_t>(machine >> 8);
    }
    return bytes;
}

// The same bytes as a file's contents for the in-memory file system.
inline std::string ImageFile(std::uint16_t machine) {
    const ImageBytes bytes = Image(machine);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace tervalux::testing
