#pragma once
// The window description: the stored record from which the runtime builds a window and its
// controls. Bytes, integers little-endian, texts in Windows-1252:
//
//   0xFF 0xCC, 16-bit 49, 8, window id, project id, class id (16 bytes each), 36 zero bytes;
//   the window's record: 32-bit length up to the description's last byte, 32-bit length up to the
//   window's end marker, index 0, 16-bit name length, name, 0, kind, settings, 0xFF;
//   0x01; one record per control, separated by 0x03: 32-bit length up to its end marker, index
//   (1, 2, ...), 16-bit name length, name, 0, kind, settings, 0xFF; then 0x02 0x04.
//
// A name is 1 to 40 ASCII characters: a letter, then letters, digits or "_". An identifier is 16
// bytes in the Windows layout (description_values.h). A setting is a one-byte code, numbered per
// kind, followed by its value in the form that the code has for that kind (the table of kinds in
// control_kinds.h, which also gives each value form's bytes).
//
// The reader trusts nothing: every length, offset, code and value is checked, and a malformed
// description gives a DescriptionError naming the problem and the byte offset where it was found.
// The program's bytes come from tools/make_form_data.py; the tests' writer is in tests/support/.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/control.h"
#include "runtime/control_kinds.h"
#include "runtime/description_values.h"

namespace tervalux::rt {

class DescriptionError : public std::exception {
   public:
    DescriptionError(std::string problem, std::size_t offset);

    const std::string& Problem() const noexcept { return problem_; }
    // Byte offset in the bytes that were read (or, for the writer, in the bytes being written).
    std::size_t Offset() const noexcept { return offset_; }
    // "<problem> (at byte <offset>)".
    const char* what() const noexcept override { return message_.c_str(); }

   private:
    std::string problem_;
    std::size_t offset_;
    std::string message_;
};

// Where the window identifier lies in the header, and the header's size up to the project's
// identifier: what a project's window table checks against its entries.
inline constexpr std::size_t kWindowIdOffset = 5;
inline constexpr std::size_t kWindowIdEnd = kWindowIdOffset + 16;

// The class identifier of a form, which the third identifier of the header must be.
const Guid& FormClassId();

// A stored rectangle: twips, as the control models hold it.
using DescriptionRect = TwipsRect;

// One stored setting, kept as stored so that writing it back gives the same bytes.
struct Setting {
    std::uint8_t code = 0;
    ValueForm form = ValueForm::Int8;
    std::int32_t number = 0;          // Int8, Int16
    std::string text;                 // Text: the Windows-1252 characters, without the zero byte
    DescriptionRect rect;             // ControlRect, ClientRect
    std::vector<std::uint8_t> image;  // Picture: an icon file
    bool operator==(const Setting&) const = default;
};

// Form setting codes beyond the caption and the rectangle that its row in kKinds names.
namespace form_setting {
inline constexpr std::uint8_t Icon = 0x23;
inline constexpr std::uint8_t StartUpPosition = 0x46;
}  // namespace form_setting

inline constexpr std::uint8_t kStartUpManual = 0;
inline constexpr std::uint8_t kStartUpCenterOwner = 1;
inline constexpr std::uint8_t kStartUpCenterScreen = 2;
inline constexpr std::uint8_t kStartUpWindowsDefault = 3;

struct ControlDescription {
    std::uint8_t index = 0;  // 1, 2, ... in stored order
    std::wstring name;
    std::uint8_t kind = 0;
    std::wstring caption;  // empty when none is stored
    DescriptionRect rect;  // twips, relative to the window's client area
    std::int32_t tabIndex = 0;
    std::vector<Setting> settings;  // every stored setting, in stored order
};

struct FormDescription {
    std::wstring name;
    std::uint8_t kind = KindCode(Kind::Form);
    std::wstring caption;
    std::vector<std::uint8_t> icon;  // an icon file; empty when none is stored
    DescriptionRect client;          // stored client offset and size, twips
    std::uint8_t startUpPosition = kStartUpManual;
    // Every stored setting in stored order, those without a field above (0x19, 0x42, 0x24, 0x26)
    // included.
    std::vector<Setting> settings;
};

struct WindowDescription {
    Guid windowId;
    Guid projectId;
    Guid classId;
    FormDescription form;
    std::vector<ControlDescription> controls;  // in stored order

    // Names compare without regard to letter case, as handler binding does; nullptr when absent.
    const ControlDescription* FindControl(std::wstring_view name) const;
};

WindowDescription ReadWindowDescription(std::span<const std::uint8_t> bytes);

}  // namespace tervalux::rt
