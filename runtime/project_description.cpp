#include "runtime/project_description.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "runtime/window_description_bytes.h"

namespace tervalux::rt {

namespace {

constexpr std::size_t kNameField = 32;
constexpr std::size_t kHeaderSize = 16;

bool SameNameNoCase(std::wstring_view a, std::wstring_view b) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

// The 32-byte name field of a window entry: a name, a zero byte, zero padding.
std::wstring ReadNameField(std::span<const std::uint8_t> field, std::size_t at) {
    std::wstring name;
    std::size_t i = 0;
    for (; i < field.size() && field[i] != 0; ++i) {
        const std::uint8_t c = field[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!(letter || (i > 0 && ((c >= '0' && c <= '9') || c == '_')))) {
            throw DescriptionError("window name holds a byte that no name may hold", at + i);
        }
        name += static_cast<wchar_t>(c);
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
        entry.name = ReadNameField(in.Bytes(kNameField, "window name"), at + 24);
        entry.kind = in.U32("window kind");
        const auto reserved = in.Bytes(20, "window entry");
        for (std::size_t j = 0; j < reserved.size(); ++j) {
            if (reserved[j] != 0) throw DescriptionError("reserved byte of a window entry is not zero", at + 60 + j);
        }
        if (entry.kind != kind::Form) {
            throw DescriptionError("window kind " + std::to_string(entry.kind) + " is not a form (13)", at + 56);
        }
        const std::uint64_t end = static_cast<std::uint64_t>(entry.offset) + entry.length;
        if (entry.offset < tableEnd || end > bytes.size() || entry.length < 21) {
            throw DescriptionError("window description " + std::to_string(entry.offset) + "+" +
                                       std::to_string(entry.length) + " lies outside the bytes after the table",
                                   at + 16);
        }
        // The description must begin with the window description's signature and carry this id.
        const auto header = bytes.subspan(entry.offset, 21);
        if (header[0] != 0xFF || header[1] != 0xCC ||
            !std::equal(entry.id.bytes.begin(), entry.id.bytes.end(), header.begin() + 5)) {
            throw DescriptionError("the window description at byte " + std::to_string(entry.offset) +
                                       " does not carry its entry's identifier",
                                   at);
        }
        for (const WindowEntry& other : project.windows) {
            if (other.id == entry.id) throw DescriptionError("two windows share an identifier", at);
            if (SameNameNoCase(other.name, entry.name)) throw DescriptionError("two windows share a name", at + 24);
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
        if (SameNameNoCase(w.name, windowName)) return &w;
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
        if (window.windowId != entry->id) throw DescriptionError("the window identifier differs from its entry", 5);
        if (!SameNameNoCase(window.form.name, entry->name)) {
            throw DescriptionError("the window's name differs from its entry", 0);
        }
        return window;
    } catch (const DescriptionError& e) {
        throw DescriptionError("window " + std::string(entry->name.begin(), entry->name.end()) + ": " + e.Problem(),
                               entry->offset + e.Offset());
    }
}

std::vector<std::uint8_t> WriteProjectDescription(std::wstring_view name, std::wstring_view title,
                                                  std::wstring_view startUpObject,
                                                  const std::vector<ProjectWindow>& windows) {
    ByteWriter out;
    out.Append({'T', 'V', 'X', 'P', 1, 0});
    if (windows.size() > 0xFFFF) throw DescriptionError("too many windows", out.Size());
    out.U16(static_cast<std::uint16_t>(windows.size()));
    const std::size_t tableOffsetAt = out.Size();
    out.U32(0);
    out.U32(0);  // the whole length, patched at the end
    for (std::wstring_view text : {name, title, startUpObject}) {
        const std::optional<std::string> ansi = ToWindows1252(text);
        if (!ansi) throw DescriptionError("a project text holds a character outside Windows-1252", out.Size());
        out.Text(*ansi, "project text");
    }
    std::vector<std::uint8_t> bytes = out.Take();
    const std::size_t tableOffset = bytes.size();
    std::size_t next = tableOffset + kWindowEntrySize * windows.size();
    auto put32 = [&](std::size_t at, std::size_t value) {
        if (value > std::numeric_limits<std::uint32_t>::max()) throw DescriptionError("project too long", at);
        for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bytes.resize(next, 0);
    put32(tableOffsetAt, tableOffset);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const ProjectWindow& w = windows[i];
        const std::size_t at = tableOffset + kWindowEntrySize * i;
        if (w.description.size() < 21) throw DescriptionError("a window description without its header", at);
        std::copy_n(w.description.begin() + 5, 16, bytes.begin() + static_cast<std::ptrdiff_t>(at));
        put32(at + 16, next);
        put32(at + 20, w.description.size());
        if (w.name.empty() || w.name.size() >= kNameField) throw DescriptionError("bad window name length", at + 24);
        for (std::size_t j = 0; j < w.name.size(); ++j) {
            if (w.name[j] <= 0 || w.name[j] >= 0x80) throw DescriptionError("window name not ASCII", at + 24 + j);
            bytes[at + 24 + j] = static_cast<std::uint8_t>(w.name[j]);
        }
        put32(at + 56, kind::Form);
        bytes.insert(bytes.end(), w.description.begin(), w.description.end());
        next = bytes.size();
    }
    put32(12, bytes.size());
    return bytes;
}

}  // namespace tervalux::rt
