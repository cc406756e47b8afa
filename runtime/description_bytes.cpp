#include "runtime/description_bytes.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace tervalux::rt {

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(value));
    return buffer;
}

std::uint16_t LittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t LittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(LittleEndian16(bytes, at)) |
           static_cast<std::uint32_t>(LittleEndian16(bytes, at + 2)) << 16;
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t n, std::string_view what) {
    if (n > bytes_.size() - pos_) {
        throw DescriptionError("the description ends inside the " + Describe(what), pos_);
    }
    const auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::string ByteReader::Describe(std::string_view what) const {
    return context_.empty() ? std::string(what) : std::string(context_) + " " + std::string(what);
}

bool IsNameByte(std::uint8_t c, std::size_t position) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool digit = c >= '0' && c <= '9';
    return letter || (position > 0 && (digit || c == '_'));
}

std::wstring ReadName(ByteReader& in, std::string_view what) {
    const std::size_t lengthAt = in.Position();
    const std::uint16_t length = in.U16(what);
    if (length == 0 || length > 40) {
        throw DescriptionError(in.Describe(what) + " length " + std::to_string(length) + " is not 1 to 40", lengthAt);
    }
    const std::size_t at = in.Position();
    const auto chars = in.Bytes(length, what);
    std::wstring name;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (!IsNameByte(chars[i], i)) {
            throw DescriptionError(in.Describe(what) + " holds the byte " + Hex(chars[i]) + ", which no name may hold",
                                   at + i);
        }
        name += static_cast<wchar_t>(chars[i]);
    }
    const std::size_t zeroAt = in.Position();
    if (in.U8(what) != 0) throw DescriptionError(in.Describe(what) + " is not followed by a zero byte", zeroAt);
    return name;
}

std::string ReadText(ByteReader& in, std::string_view what) {
    const std::uint16_t length = in.U16(what);
    const std::size_t at = in.Position();
    const auto chars = in.Bytes(length, what);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == 0) throw DescriptionError(in.Describe(what) + ": text holds a zero byte", at + i);
    }
    const std::size_t zeroAt = in.Position();
    if (in.U8(what) != 0) {
        throw DescriptionError(in.Describe(what) + ": text is not followed by a zero byte", zeroAt);
    }
    return {chars.begin(), chars.end()};
}

Guid ReadGuid(ByteReader& in, std::string_view what) {
    const auto b = in.Bytes(16, what);
    Guid guid;
    std::copy(b.begin(), b.end(), guid.bytes.begin());
    return guid;
}

std::optional<std::size_t> IconImageCount(std::span<const std::uint8_t> file) {
    if (file.size() < 6 || LittleEndian16(file, 0) != 0 || LittleEndian16(file, 2) != 1) return std::nullopt;
    return LittleEndian16(file, 4);
}

IconEntry IconDirectoryEntry(std::span<const std::uint8_t> file, std::size_t i) {
    const std::size_t entry = IconDirectoryEnd(i);
    IconEntry e;
    e.width = file[entry] == 0 ? 256 : file[entry];
    e.length = LittleEndian32(file, entry + 8);
    e.offset = LittleEndian32(file, entry + 12);
    return e;
}

void CheckIconFile(std::span<const std::uint8_t> file, std::size_t at, const std::string& what) {
    const std::optional<std::size_t> count = IconImageCount(file);
    if (!count) throw DescriptionError(what + ": the image is not an icon file", at);
    const std::size_t directoryEnd = IconDirectoryEnd(*count);
    if (*count == 0 || directoryEnd > file.size()) {
        throw DescriptionError(what + ": icon directory of " + std::to_string(*count) + " images does not fit", at + 4);
    }
    for (std::size_t i = 0; i < *count; ++i) {
        const IconEntry e = IconDirectoryEntry(file, i);
        const std::uint64_t size = e.length;
        const std::uint64_t offset = e.offset;
        if (size < 4 || offset < directoryEnd || offset + size > file.size()) {
            throw DescriptionError(what + ": icon image " + std::to_string(i + 1) + " lies outside the icon file",
                                   at + IconDirectoryEnd(i) + 8);
        }
        const auto o = static_cast<std::size_t>(offset);
        const bool bitmap = LittleEndian32(file, o) == 40 && size >= 40;
        const bool png = file[o] == 0x89 && file[o + 1] == 'P' && file[o + 2] == 'N' && file[o + 3] == 'G';
        if (!bitmap && !png) {
            throw DescriptionError(what + ": icon image " + std::to_string(i + 1) + " is neither a bitmap nor PNG",
                                   at + o);
        }
    }
}

void ByteWriter::Append(std::span<const std::uint8_t> b) {
    // Byte by byte: GCC 12 warns falsely about vector::insert into an empty vector at -O2.
    bytes_.reserve(bytes_.size() + b.size());
    for (std::uint8_t v : b) bytes_.push_back(v);
}

void ByteWriter::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::Text(std::string_view windows1252, std::string_view what) {
    if (windows1252.size() > 0xFFFF) throw DescriptionError(std::string(what) + " is too long", Size());
    U16(static_cast<std::uint16_t>(windows1252.size()));
    bytes_.insert(bytes_.end(), windows1252.begin(), windows1252.end());
    U8(0);
}

void ByteWriter::Name(std::wstring_view name) {
    std::string ascii;
    for (wchar_t c : name) {
        if (c <= 0 || c >= 0x80) throw DescriptionError("a name holds a character other than ASCII", Size());
        ascii += static_cast<char>(c);
    }
    Text(ascii, "name");
}

std::uint32_t ByteWriter::Length32(std::size_t n, std::string_view what) const {
    if (n > std::numeric_limits<std::uint32_t>::max()) {
        throw DescriptionError(std::string(what) + " is too long", Size());
    }
    return static_cast<std::uint32_t>(n);
}

void ByteWriter::Put32At(std::size_t at, std::size_t value, std::string_view what) {
    const std::uint32_t n = Length32(value, what);
    for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(n >> (8 * i));
}

}  // namespace tervalux::rt
