#include "runtime/project_description.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "runtime/description_bytes.h"

namespace tervalux::rt {

namespace {

constexpr std::size_t kHeaderSize = 16;

// The 32-byte name field of a window entry: a name, a zero byte, zero padding.
std::wstring ReadNameField(std::span<const std::uint8_t> field, std::size_t at) {
    std::wstring name;
    std::size_t i = 0;
    for (; i < field.size() && field[i] != 0; ++i) {
        if (!IsNameByte(field[i], i)) throw DescriptionError("window name holds a byte that no name may hold", at + i);
        name += static_cast<wchar_t>(field[i]);
    }
    if (i == 0 || i == field.size()) throw DescriptionError("window name is empty or not zero-terminated", at);
    for (; i < field.size(); ++i) {
        if (field[i] != 0) throw DescriptionError("window name padding is not zero", at + i);
    }
    return name;
}

}  // namespace

ProjectDescription ReadProjectDescription(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    ProjectDescription project;
    const auto signature = in.Bytes(4, "project signature");
    if (!std::equal(signature.begin(), signature.end(), "TVXP")) {
        throw DescriptionError("not a project description: the signature is not \"TVXP\"", 0);
    }
    if (const std::uint16_t version = in.U16("project format version"); version != 1) {
        throw DescriptionError("project format version " + std::to_string(version) + " is not 1", 4);
    }
    const std::uint16_t count = in.U16("window count");
    if (count == 0) throw DescriptionError("the project has no window", 6);
    const std::uint32_t tableOffset = in.U32("window table offset");
    const std::uint32_t total = in.U32("project length");
    if (total != bytes.size()) {
        throw DescriptionError("project length " + std::to_string(total) + " does not match its " +
                                   std::to_string(bytes.size()) + " bytes",
                               12);
    }
    project.name = FromWindows1252(ReadText(in, "project name"));
    project.title = FromWindows1252(ReadText(in, "application title"));
    const std::size_t startUpAt = in.Position();
    project.startUpObject = FromWindows1252(ReadText(in, "start-up object"));
    if (project.name.empty()) throw DescriptionError("the project name is empty", kHeaderSize);
    if (tableOffset != in.Position()) {
        throw DescriptionError("window table offset " + std::to_string(tableOffset) + " is not " +
                                   std::to_string(in.Position()) + ", right after the texts",
                               8);
    }
    const std::size_t tableEnd = tableOffset + kWindowEntrySize * count;
    if (tableEnd > bytes.size()) {
        throw DescriptionError("the window table of " + std::to_string(count) + " entries runs past the end",
                               tableOffset);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = in.Position();
        WindowEntry entry;
        entry.id = ReadGuid(in, "window identifier");
        entry.offset = in.U32("window description offset");
        entry.length = in.U32("window description length");
        entry.name = ReadNameField(in.Bytes(kWindowNameField, "window name"), at + 24);
        entry.kind = in.U32("window kind");
        const auto reserved = in.Bytes(20, "window entry");
        for (std::size_t j = 0; j < reserved.size(); ++j) {
            if (reserved[j] != 0) throw DescriptionError("reserved byte of a window entry is not zero", at + 60 + j);
        }
        if (entry.kind != KindCode(Kind::Form)) {
            throw DescriptionError("window kind " + std::to_string(entry.kind) + " is not a form (13)", at + 56);
        }
        const std::uint64_t end = static_cast<std::uint64_t>(entry.offset) + entry.length;
        if (entry.offset < tableEnd || end > bytes.size() || entry.length < kWindowIdEnd) {
            throw DescriptionError("window description " + std::to_string(entry.offset) + "+" +
                                       std::to_string(entry.length) + " lies outside the bytes after the table",
                                   at + 16);
        }
        // The description must begin with the window description's signature and carry this id.
        const auto header = bytes.subspan(entry.offset, kWindowIdEnd);
        if (header[0] != 0xFF || header[1] != 0xCC ||
            !std::equal(entry.id.bytes.begin(), entry.id.bytes.end(), header.begin() + kWindowIdOffset)) {
            throw DescriptionError("the window description at byte " + std::to_string(entry.offset) +
                                       " does not carry its entry's identifier",
                                   at);
        }
        for (const WindowEntry& other : project.windows) {
            if (other.id == entry.id) throw DescriptionError("two windows share an identifier", at);
            if (EqualNoCase(other.name, entry.name)) throw DescriptionError("two windows share a name", at + 24);
            if (entry.offset < other.offset + other.length && other.offset < end) {
                throw DescriptionError("two window descriptions overlap", at + 16);
            }
        }
        project.windows.push_back(std::move(entry));
    }
    if (project.FindWindow(project.startUpObject) == nullptr) {
        throw DescriptionError("the start-up object is not a window of the project", startUpAt);
    }
    return project;
}

const WindowEntry* ProjectDescription::FindWindow(const Guid& id) const {
    for (const WindowEntry& w : windows) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

const WindowEntry* ProjectDescription::FindWindow(std::wstring_view windowName) const {
    for (const WindowEntry& w : windows) {
        if (EqualNoCase(w.name, windowName)) return &w;
    }
    return nullptr;
}

const WindowEntry& ProjectDescription::StartUpWindow() const {
    return *FindWindow(startUpObject);
}

WindowDescription ReadWindow(std::span<const std::uint8_t> projectBytes, const ProjectDescription& project,
                             const Guid& windowId) {
    const WindowEntry* entry = project.FindWindow(windowId);
    if (entry == nullptr) throw DescriptionError("no window " + windowId.ToString() + " in the project", 0);
    if (static_cast<std::uint64_t>(entry->offset) + entry->length > projectBytes.size()) {
        throw DescriptionError("the window description lies outside the project's bytes", 0);
    }
    try {
        WindowDescription window = ReadWindowDescription(projectBytes.subspan(entry->offset, entry->length));
        if (window.windowId != entry->id)
            throw DescriptionError("the window identifier differs from its entry", kWindowIdOffset);
        if (!EqualNoCase(window.form.name, entry->name)) {
            throw DescriptionError("the window's name differs from its entry", 0);
        }
        return window;
    } catch (const DescriptionError& e) {
        throw DescriptionError("window " + std::string(entry->name.begin(), entry->name.end()) + ": " + e.Problem(),
                               entry->offset + e.Offset());
    }
}

}  // namespace tervalux::rt
