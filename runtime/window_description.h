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
// A setting is a one-byte code, numbered per kind, followed by its value in the form that the
// code has for that kind (SettingForm). The reader trusts nothing: every length, offset, code and
// value is checked, and a malformed description gives a DescriptionError naming the problem and
// the byte offset where it was found.
#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// A 16-byte identifier as stored: the Windows memory layout, with the first three groups as
// little-endian integers and the last eight bytes in written order.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    // From "33AD4F3A-6699-11CF-B70C-00AA0060D393" (braces allowed); std::nullopt when malformed.
    static std::optional<Guid> Parse(std::string_view text);
    std::string ToString() const;
    bool operator==(const Guid&) const = default;
};

// The class identifier of a form, which the third identifier of the header must be.
const Guid& FormClassId();

namespace kind {
inline constexpr std::uint8_t TextBox = 2;
inline constexpr std::uint8_t CommandButton = 4;
inline constexpr std::uint8_t CheckBox = 5;
inline constexpr std::uint8_t Form = 13;
inline constexpr std::uint8_t DriveList = 16;
inline constexpr std::uint8_t FolderList = 17;
inline constexpr std::uint8_t FileList = 18;
}  // namespace kind

bool IsControlKind(std::uint8_t kindCode);

enum class ValueForm : std::uint8_t {
    Text,         // 16-bit length, the characters, a zero byte
    Int16,        // 16-bit integer
    Int8,         // 8-bit integer (unsigned)
    ControlRect,  // four 16-bit integers: left, top, width, height
    ClientRect,   // four 32-bit integers: left, top, width, height
    Picture,      // 32-bit length of what follows, "lt" 0 0, 32-bit image length, icon file
};

// The form of a setting code for a kind; std::nullopt when the kind has no such setting.
std::optional<ValueForm> SettingForm(std::uint8_t kindCode, std::uint8_t code);

struct DescriptionRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const DescriptionRect&) const = default;
};

// One stored setting, kept as stored so that writing it back gives the same bytes.
struct Setting {
    std::uint8_t code = 0;
    ValueForm form = ValueForm::Int8;
    std::int32_t number = 0;          // Int8, Int16
    std::string text;                 // Text: the Windows-1252 characters, without the zero byte
    DescriptionRect rect;             // ControlRect, ClientRect
    std::vector<std::uint8_t> image;  // Picture: an icon file

    static Setting Text(std::uint8_t code, std::string windows1252);
    static Setting Int16(std::uint8_t code, std::int16_t value);
    static Setting Int8(std::uint8_t code, std::uint8_t value);
    static Setting ControlRect(std::uint8_t code, DescriptionRect rect);
    static Setting ClientRect(std::uint8_t code, DescriptionRect rect);
    static Setting Picture(std::uint8_t code, std::vector<std::uint8_t> iconFile);
    bool operator==(const Setting&) const = default;
};

// Form setting codes.
namespace form_setting {
inline constexpr std::uint8_t Caption = 0x01;
inline constexpr std::uint8_t Icon = 0x23;
inline constexpr std::uint8_t ClientArea = 0x35;
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
    std::uint8_t kind = kind::Form;
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

// Writes the identifiers, names, kinds, indices and settings lists (the decoded fields of the
// records are not consulted), computing every length. Names must be ASCII.
std::vector<std::uint8_t> WriteWindowDescription(const WindowDescription& description);

// Windows-1252 <-> wide text. The five bytes without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the code points of the same value, as Windows does. ToWindows1252 gives std::nullopt for
// a character that Windows-1252 cannot hold.
std::wstring FromWindows1252(std::string_view text);
std::optional<std::string> ToWindows1252(std::wstring_view text);

}  // namespace tervalux::rt
