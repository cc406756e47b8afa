#include "tests/support/form1_layout.h"

#include "app/form1_data.h"

namespace tervalux::rt::layout {

Bytes Form1() {
    const auto span = form_data::Form1DescriptionBytes();
    return {span.begin(), span.end()};
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3])
                                                                                      << 24;
}
std::uint16_t U16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Little-endian encoders for the expected bytes, written from the layout rather than the code.
void Add16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Add32(Bytes& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
void AddText(Bytes& b, const std::string& text) {
    Add16(b, static_cast<int>(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
}

}  // namespace tervalux::rt::layout
