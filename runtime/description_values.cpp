#include "runtime/description_values.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <iterator>

namespace tervalux::rt {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Stored byte i of an identifier is its written byte kWrittenOrder[i]: Data1, Data2 and Data3 are
// stored little-endian, the last eight bytes as written.
constexpr std::array<std::size_t, 16> kWrittenOrder = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

// Windows-1252 characters 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::optional<Guid> Guid::Parse(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') {
        return std::nullopt;
    }
    std::array<std::uint8_t, 16> written{};  // in the order the text gives them
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (text[i] == '-') ++i;
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        written[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    Guid guid;
    for (std::size_t i = 0; i < 16; ++i) guid.bytes[i] = written[kWrittenOrder[i]];
    return guid;
}

std::string Guid::ToString() const {
    std::string out;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        char buffer[3];
        std::snprintf(buffer, sizeof buffer, "%02X", bytes[kWrittenOrder[i]]);
        out += buffer;
    }
    return out;
}

std::wstring FromWindows1252(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
    }
    return out;
}

std::optional<std::string> ToWindows1252(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        // Where wchar_t is signed, a negative one becomes a code past 0xFFFF, which is refused below.
        const auto code = static_cast<std::uint32_t>(c);  // NOLINT(bugprone-signed-char-misuse)
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const auto* found = std::find(std::begin(kHighControls), std::end(kHighControls), static_cast<char16_t>(code));
        if (code > 0xFFFF || found == std::end(kHighControls)) return std::nullopt;
        out += static_cast<char>(0x80 + (found - std::begin(kHighControls)));
    }
    return out;
}

}  // namespace tervalux::rt
