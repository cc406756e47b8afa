#pragma once
// The project description, with Form1's window description inside it, and the program's icon
// file. The bytes are generated at build time from app/form1.frm.txt and app/book_icon.txt by
// tools/make_form_data.py and linked from the library tervalux_form_data.
#include <cstddef>
#include <cstdint>
#include <span>

namespace tervalux::form_data {

extern const unsigned char kProjectDescription[];
extern const std::size_t kProjectDescriptionSize;
// Where Form1's window description lies inside the project description.
extern const std::size_t kForm1DescriptionOffset;
extern const std::size_t kForm1DescriptionSize;
// The icon file (the window's icon and the program's): the same bytes as book_icon.ico.
extern const unsigned char kBookIcon[];
extern const std::size_t kBookIconSize;

inline std::span<const std::uint8_t> ProjectDescriptionBytes() {
    return {kProjectDescription, kProjectDescriptionSize};
}
inline std::span<const std::uint8_t> Form1DescriptionBytes() {
    return ProjectDescriptionBytes().subspan(kForm1DescriptionOffset, kForm1DescriptionSize);
}
inline std::span<const std::uint8_t> BookIconBytes() {
    return {kBookIcon, kBookIconSize};
}

}  // namespace tervalux::form_data
