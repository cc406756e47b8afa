#pragma once
// How the descriptions store texts and identifiers: Windows-1252 characters, and 16-byte
// identifiers in the Windows memory layout.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tervalux::rt {

// A 16-byte identifier as stored: the Windows memory layout, with the first three groups as
// little-endian integers and the last eight bytes in written order.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    // From "33AD4F3A-6699-11CF-B70C-00AA0060D393" (braces allowed); std::nullopt when malformed.
    static std::optional<Guid> Parse(std::string_view text);
    std::string ToString() const;
    bool operator==(const Guid&) const = default;
};

// Windows-1252 <-> wide text. The five bytes without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the code points of the same value, as Windows does. ToWindows1252 gives std::nullopt for
// a character that Windows-1252 cannot hold.
std::wstring FromWindows1252(std::string_view text);
std::optional<std::string> ToWindows1252(std::wstring_view text);

}  // namespace tervalux::rt
