#pragma once
// Writers of window and project descriptions, for the tests and the fuzzer: the program reads its
// bytes as tools/make_form_data.py generated them and never writes a description.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/project_description.h"
#include "runtime/window_description.h"

namespace tervalux::rt {

// Settings built for a test, in each value form.
namespace setting {
Setting Text(std::uint8_t code, std::string windows1252);
Setting Int16(std::uint8_t code, std::int16_t value);
Setting Int8(std::uint8_t code, std::uint8_t value);
Setting ControlRect(std::uint8_t code, DescriptionRect rect);
Setting ClientRect(std::uint8_t code, DescriptionRect rect);
Setting Picture(std::uint8_t code, std::vector<std::uint8_t> iconFile);
}  // namespace setting

// Writes the identifiers, names, kinds, indices and settings lists (the decoded fields of the
// records are not consulted), computing every length. Names must be ASCII.
std::vector<std::uint8_t> WriteWindowDescription(const WindowDescription& description);

struct ProjectWindow {
    std::wstring name;
    std::vector<std::uint8_t> description;  // its header holds the window identifier
};

// Lays out a project description; the identifiers come from the windows' headers.
std::vector<std::uint8_t> WriteProjectDescription(std::wstring_view name, std::wstring_view title,
                                                  std::wstring_view startUpObject,
                                                  const std::vector<ProjectWindow>& windows);

}  // namespace tervalux::rt
