#pragma once
// The kinds of record a window description holds, in one table: each kind's code, the setting
// codes it may store with the form of each value, and which of them give the caption, the
// rectangle and the tab index. The description reader, the form builder, the views, the tests and
// tools/make_form_data.py (which parses the enum and the table below, so keep their layout) all
// take the kinds from here.
//
// A new kind of control: an enumerator in Kind, a row in kKinds, its model and its view; the
// compiler then names the two switches that create them (MakeControl and CreateView).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tervalux::rt {

// Kind codes as the window description stores them.
enum class Kind : std::uint8_t {
    TextBox = 2,
    CommandButton = 4,
    CheckBox = 5,
    Form = 13,
    DriveList = 16,
    FolderList = 17,
    FileList = 18,
};

constexpr std::uint8_t KindCode(Kind kind) {
    return static_cast<std::uint8_t>(kind);
}

enum class ValueForm : std::uint8_t {
    Text,         // 16-bit length, the characters, a zero byte
    Int16,        // 16-bit integer
    Int8,         // 8-bit integer (unsigned)
    ControlRect,  // four 16-bit integers: left, top, width, height
    ClientRect,   // four 32-bit integers: left, top, width, height
    Picture,      // 32-bit length of what follows, "lt" 0 0, 32-bit image length, icon file
};

// No setting has code 0: it marks an unused place in a row.
inline constexpr std::uint8_t kNoSetting = 0;

struct SettingRow {
    std::uint8_t code = kNoSetting;
    ValueForm form = ValueForm::Int8;
};

struct KindRow {
    Kind kind;
    std::uint8_t caption;   // a Text setting, or kNoSetting
    std::uint8_t rect;      // a ControlRect setting (a form's: its ClientRect)
    std::uint8_t tabIndex;  // an Int16 setting, or kNoSetting (a form)
    std::array<SettingRow, 8> settings;
};

// clang-format off
inline constexpr KindRow kKinds[] = {
    // kind              caption     rect  tab index   every setting code with its value form
    {Kind::Form,          0x01,       0x35, kNoSetting, {{{0x01, ValueForm::Text}, {0x19, ValueForm::Int16},
                                                          {0x42, ValueForm::Int8}, {0x23, ValueForm::Picture},
                                                          {0x24, ValueForm::Text}, {0x26, ValueForm::Int8},
                                                          {0x35, ValueForm::ClientRect}, {0x46, ValueForm::Int8}}}},
    {Kind::CheckBox,      0x01,       0x05, 0x12,       {{{0x01, ValueForm::Text}, {0x05, ValueForm::ControlRect},
                                                          {0x12, ValueForm::Int16}}}},
    {Kind::CommandButton, 0x01,       0x04, 0x11,       {{{0x01, ValueForm::Text}, {0x04, ValueForm::ControlRect},
                                                          {0x11, ValueForm::Int16}}}},
    {Kind::TextBox,       kNoSetting, 0x04, 0x12,       {{{0x04, ValueForm::ControlRect}, {0x12, ValueForm::Int16}}}},
    {Kind::DriveList,     kNoSetting, 0x04, 0x0B,       {{{0x04, ValueForm::ControlRect}, {0x0B, ValueForm::Int16}}}},
    {Kind::FolderList,    kNoSetting, 0x04, 0x0B,       {{{0x04, ValueForm::ControlRect}, {0x0B, ValueForm::Int16}}}},
    {Kind::FileList,      kNoSetting, 0x04, 0x0B,       {{{0x04, ValueForm::ControlRect}, {0x0B, ValueForm::Int16}}}},
};
// clang-format on

// The row of a stored kind code; nullptr for a code that is no kind.
constexpr const KindRow* FindKind(std::uint8_t kindCode) {
    for (const KindRow& row : kKinds) {
        if (KindCode(row.kind) == kindCode) return &row;
    }
    return nullptr;
}

constexpr const KindRow& KindRowOf(Kind kind) {
    return *FindKind(KindCode(kind));
}

// Whether a stored kind code names a kind of control (every kind but the form).
constexpr bool IsControlKind(std::uint8_t kindCode) {
    const KindRow* row = FindKind(kindCode);
    return row != nullptr && row->kind != Kind::Form;
}

// The form of a setting code for a kind; std::nullopt when the kind has no such setting.
constexpr std::optional<ValueForm> SettingForm(std::uint8_t kindCode, std::uint8_t code) {
    const KindRow* row = FindKind(kindCode);
    if (row == nullptr || code == kNoSetting) return std::nullopt;
    for (const SettingRow& s : row->settings) {
        if (s.code == code) return s.form;
    }
    return std::nullopt;
}

}  // namespace tervalux::rt
