#pragma once
// The layout of the generated Form1 description as the tests read it: the bytes, little-endian
// readers and encoders written from the layout rather than the code, the fixed offsets of the
// window record, the client area, and the controls in stored order and in tab order.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tervalux::rt::layout {

using Bytes = std::vector<std::uint8_t>;

Bytes Form1();

std::uint32_t U32(const Bytes& b, std::size_t at);
std::uint16_t U16(const Bytes& b, std::size_t at);
void Put32(Bytes& b, std::size_t at, std::uint32_t v);

// Little-endian encoders for the expected bytes, written from the layout rather than the code.
void Add16(Bytes& b, int v);
void Add32(Bytes& b, std::int64_t v);
void AddText(Bytes& b, const std::string& text);

// Fixed offsets of the window record.
constexpr std::size_t kTotalLengthAt = 89;
constexpr std::size_t kOwnLengthAt = 93;
constexpr std::size_t kWindowIndexAt = 97;
constexpr std::size_t kWindowNameAt = 100;
constexpr std::size_t kWindowKindAt = 106;
constexpr std::size_t kFirstSettingAt = 107;

// A rectangle in twips, as the description stores it.
struct Twips {
    int left, top, width, height;
};

// The window's client area.
inline constexpr Twips kClient{60, 345, 6405, 5070};

struct ControlRow {
    const char* name;
    int kind;
    const char* caption;  // Windows-1252; nullptr: none stored
    int captionCode, rectCode, tabCode;
    Twips rect;
    int tab;
};

// The controls in stored order, as the window's layout gives them. The Win32 tests and the
// start-up benchmark's controls-only window take the form's layout from here too.
// clang-format off
inline constexpr ControlRow kControls[] = {
    {"ChkDir", 5, "Copiar o arquivo para o diret\xF3rio System do Windows", 0x01, 0x05, 0x12, {3840, 4440, 2415, 495}, 7},
    {"CmdSair", 4, "Sair", 0x01, 0x04, 0x11, {2520, 4440, 1215, 495}, 6},
    {"txtarq", 2, nullptr, 0, 0x04, 0x12, {3120, 3960, 3135, 375}, 5},
    {"CmdDes", 4, "Desrregistrar", 0x01, 0x04, 0x11, {1320, 4440, 1215, 495}, 4},
    {"cmdReg", 4, "Registrar", 0x01, 0x04, 0x11, {120, 4440, 1215, 495}, 3},
    {"File", 18, nullptr, 0, 0x04, 0x0B, {3120, 600, 3135, 3210}, 2},
    {"Dir", 17, nullptr, 0, 0x04, 0x0B, {120, 600, 2895, 3240}, 1},
    {"Drive", 16, nullptr, 0, 0x04, 0x0B, {120, 3960, 2895, 315}, 0},
};
// clang-format on
inline constexpr std::size_t kControlCount = std::size(kControls);

// The control at place `tab` of the tab order, which the window's children follow.
constexpr const ControlRow& InTabOrder(std::size_t tab) {
    for (const ControlRow& row : kControls) {
        if (static_cast<std::size_t>(row.tab) == tab) return row;
    }
    throw std::out_of_range("no control at this place of the tab order");
}

// A control's place in the tab order.
constexpr std::size_t TabOf(std::string_view name) {
    for (const ControlRow& row : kControls) {
        if (row.name == name) return static_cast<std::size_t>(row.tab);
    }
    throw std::out_of_range("no control of this name");
}

}  // namespace tervalux::rt::layout
