#include "tests/support/description_writers.h"

#include <optional>
#include <span>
#include <utility>

#include "runtime/description_bytes.h"

namespace tervalux::rt {

namespace {

Setting EmptySetting(std::uint8_t code, ValueForm form) {
    Setting s;
    s.code = code;
    s.form = form;
    return s;
}

void WriteSettings(ByteWriter& out, const std::vector<Setting>& settings) {
    for (const Setting& s : settings) {
        out.U8(s.code);
        switch (s.form) {
            case ValueForm::Text: out.Text(s.text, "setting text"); break;
            case ValueForm::Int16: out.U16(static_cast<std::uint16_t>(s.number)); break;
            case ValueForm::Int8: out.U8(static_cast<std::uint8_t>(s.number)); break;
            case ValueForm::ControlRect:
                for (std::int32_t v : {s.rect.left, s.rect.top, s.rect.width, s.rect.height}) {
                    out.U16(static_cast<std::uint16_t>(v));
                }
                break;
            case ValueForm::ClientRect:
                for (std::int32_t v : {s.rect.left, s.rect.top, s.rect.width, s.rect.height}) {
                    out.U32(static_cast<std::uint32_t>(v));
                }
                break;
            case ValueForm::Picture:
                out.U32(out.Length32(s.image.size() + 8, "picture"));
                out.Append({'l', 't', 0, 0});
                out.U32(out.Length32(s.image.size(), "picture"));
                out.Append(s.image);
                break;
        }
    }
    out.U8(0xFF);
}

void WriteHead(ByteWriter& out, std::uint8_t index, std::wstring_view name, std::uint8_t kindCode) {
    out.U8(index);
    out.Name(name);
    out.U8(kindCode);
}

}  // namespace

namespace setting {

Setting Text(std::uint8_t code, std::string windows1252) {
    Setting s = EmptySetting(code, ValueForm::Text);
    s.text = std::move(windows1252);
    return s;
}

Setting Int16(std::uint8_t code, std::int16_t value) {
    Setting s = EmptySetting(code, ValueForm::Int16);
    s.number = value;
    return s;
}

Setting Int8(std::uint8_t code, std::uint8_t value) {
    Setting s = EmptySetting(code, ValueForm::Int8);
    s.number = value;
    return s;
}

Setting ControlRect(std::uint8_t code, DescriptionRect rect) {
    Setting s = EmptySetting(code, ValueForm::ControlRect);
    s.rect = rect;
    return s;
}

Setting ClientRect(std::uint8_t code, DescriptionRect rect) {
    Setting s = EmptySetting(code, ValueForm::ClientRect);
    s.rect = rect;
    return s;
}

Setting Picture(std::uint8_t code, std::vector<std::uint8_t> iconFile) {
    Setting s = EmptySetting(code, ValueForm::Picture);
    s.image = std::move(iconFile);
    return s;
}

}  // namespace setting

std::vector<std::uint8_t> WriteWindowDescription(const WindowDescription& d) {
    ByteWriter out;
    out.Append({0xFF, 0xCC, 49, 0, 8});
    out.Append(d.windowId.bytes);
    out.Append(d.projectId.bytes);
    out.Append(d.classId.bytes);
    out.Append(std::vector<std::uint8_t>(36, 0));
    const std::size_t totalAt = out.Size();
    out.U32(0);
    const std::size_t ownAt = out.Size();
    out.U32(0);
    WriteHead(out, 0, d.form.name, d.form.kind);
    WriteSettings(out, d.form.settings);
    out.PatchLength(ownAt);
    out.U8(0x01);
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const ControlDescription& c = d.controls[i];
        if (i != 0) out.U8(0x03);
        const std::size_t lengthAt = out.Size();
        out.U32(0);
        WriteHead(out, c.index, c.name, c.kind);
        WriteSettings(out, c.settings);
        out.PatchLength(lengthAt);
    }
    out.Append({0x02, 0x04});
    out.PatchLength(totalAt);
    return out.Take();
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
    const std::size_t totalAt = out.Size();
    out.U32(0);
    for (std::wstring_view text : {name, title, startUpObject}) {
        const std::optional<std::string> ansi = ToWindows1252(text);
        if (!ansi) throw DescriptionError("a project text holds a character outside Windows-1252", out.Size());
        out.Text(*ansi, "project text");
    }
    const std::size_t tableOffset = out.Size();
    out.Put32At(tableOffsetAt, tableOffset, "project");
    std::size_t next = tableOffset + kWindowEntrySize * windows.size();
    for (const ProjectWindow& w : windows) {
        const std::size_t at = out.Size();
        if (w.description.size() < kWindowIdEnd) {
            throw DescriptionError("a window description without its header", at);
        }
        out.Append(std::span(w.description).subspan(kWindowIdOffset, 16));
        out.U32(out.Length32(next, "project"));
        out.U32(out.Length32(w.description.size(), "project"));
        if (w.name.empty() || w.name.size() >= kWindowNameField) {
            throw DescriptionError("bad window name length", at + 24);
        }
        for (std::size_t j = 0; j < w.name.size(); ++j) {
            if (w.name[j] <= 0 || w.name[j] >= 0x80) throw DescriptionError("window name not ASCII", at + 24 + j);
            out.U8(static_cast<std::uint8_t>(w.name[j]));
        }
        out.Append(std::vector<std::uint8_t>(kWindowNameField - w.name.size(), 0));
        out.U32(KindCode(Kind::Form));
        out.Append(std::vector<std::uint8_t>(kWindowEntrySize - 60, 0));
        next += w.description.size();
    }
    for (const ProjectWindow& w : windows) out.Append(w.description);
    out.Put32At(totalAt, out.Size(), "project");
    return out.Take();
}

}  // namespace tervalux::rt
