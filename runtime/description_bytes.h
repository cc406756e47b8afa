#pragma once
// Bounds-checked reading and plain writing of the little-endian fields that the window and
// project descriptions share: integers, names, texts, identifiers and the icon file's directory.
// Internal to the description readers and writers (and the window's icon).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window_description.h"

namespace tervalux::rt {

// "0x1F": how error texts show a code or a byte.
std::string Hex(std::uint32_t value);

// Little-endian integers at a place the caller has checked.
std::uint16_t LittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint32_t LittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at);

class ByteReader {
   public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bytes_.size(); }
    // The record being read, which error texts name before the field ("control 3 name").
    void SetContext(std::string_view context) { context_ = context; }
    std::string Describe(std::string_view what) const;

    // Each names the field it reads, for the error when the bytes end inside it.
    std::span<const std::uint8_t> Bytes(std::size_t n, std::string_view what);
    std::uint8_t U8(std::string_view what) { return Bytes(1, what)[0]; }
    std::uint16_t U16(std::string_view what) { return LittleEndian16(Bytes(2, what), 0); }
    std::uint32_t U32(std::string_view what) { return LittleEndian32(Bytes(4, what), 0); }
    std::int16_t I16(std::string_view what) { return static_cast<std::int16_t>(U16(what)); }
    std::int32_t I32(std::string_view what) { return static_cast<std::int32_t>(U32(what)); }

   private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::string_view context_;
};

// The rule of record, control and window names: a letter, then letters, digits or "_", in ASCII.
bool IsNameByte(std::uint8_t c, std::size_t position);

// A record or control name: 16-bit length, 1 to 40 name bytes, a zero byte.
std::wstring ReadName(ByteReader& in, std::string_view what);
// A text: 16-bit length, the Windows-1252 characters (no zero among them), a zero byte.
std::string ReadText(ByteReader& in, std::string_view what);
Guid ReadGuid(ByteReader& in, std::string_view what);

// An icon file: a 6-byte header (0, type 1, image count), then one 16-byte entry per image.
struct IconEntry {
    int width = 0;  // pixels; a stored 0 means 256
    std::uint32_t length = 0;
    std::uint32_t offset = 0;  // of the image, from the file's start
};
inline constexpr std::size_t IconDirectoryEnd(std::size_t count) {
    return 6 + 16 * count;
}
// The image count of an icon file's header; std::nullopt when the file has no icon header.
std::optional<std::size_t> IconImageCount(std::span<const std::uint8_t> file);
// Entry i of the directory, which the caller has checked lies inside the file.
IconEntry IconDirectoryEntry(std::span<const std::uint8_t> file, std::size_t i);
// Checks an icon file's directory: every image lies inside the file, after the directory.
// `at` is the file's offset in the description, for the errors.
void CheckIconFile(std::span<const std::uint8_t> file, std::size_t at, const std::string& what);

class ByteWriter {
   public:
    std::size_t Size() const { return bytes_.size(); }
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void Append(std::span<const std::uint8_t> b);
    void Append(std::initializer_list<std::uint8_t> b) { Append(std::span<const std::uint8_t>(b.begin(), b.size())); }
    void Text(std::string_view windows1252, std::string_view what);
    // An ASCII name with its 16-bit length and zero byte.
    void Name(std::wstring_view name);
    std::uint32_t Length32(std::size_t n, std::string_view what) const;
    // Overwrites the 32-bit integer at `at`, written before as a placeholder.
    void Put32At(std::size_t at, std::size_t value, std::string_view what);
    // Writes the count of bytes from `at` to the end as a 32-bit integer at `at`.
    void PatchLength(std::size_t at) { Put32At(at, bytes_.size() - at, "record"); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

   private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tervalux::rt
