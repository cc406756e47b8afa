#include "runtime/window_description.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "runtime/description_bytes.h"

namespace tervalux::rt {

DescriptionError::DescriptionError(std::string problem, std::size_t offset)
    : problem_(std::move(problem)), offset_(offset), message_(problem_ + " (at byte " + std::to_string(offset) + ")") {}

const Guid& FormClassId() {
    static const Guid id = *Guid::Parse("33AD4F3A-6699-11CF-B70C-00AA0060D393");
    return id;
}

namespace {

// Reads one record (the window's or a control's) from its index byte up to its end marker, which
// must be the record's last byte.
class RecordReader {
   public:
    RecordReader(ByteReader& in, std::size_t recordEnd, std::string what)
        : in_(in), start_(in.Position()), end_(recordEnd), what_(std::move(what)) {
        in_.SetContext(what_);
    }
    ~RecordReader() { in_.SetContext({}); }
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    std::size_t Start() const { return start_; }

    void ReadHead(std::uint8_t expectedIndex, std::wstring& name, std::uint8_t& kindCode) {
        const std::size_t at = in_.Position();
        const std::uint8_t index = in_.U8("index");
        if (index != expectedIndex) {
            throw DescriptionError(
                what_ + " has index " + std::to_string(index) + ", expected " + std::to_string(expectedIndex), at);
        }
        name = ReadName(in_, "name");
        kindCode = in_.U8("kind");
    }

    // Reads settings up to the end marker; returns them in stored order.
    std::vector<Setting> ReadSettings(std::uint8_t kindCode) {
        std::vector<Setting> settings;
        for (;;) {
            const std::size_t at = in_.Position();
            if (at >= end_) throw DescriptionError(what_ + " has no end marker 0xFF within its length", at);
            const std::uint8_t code = in_.U8("setting code");
            if (code == 0xFF) {
                if (in_.Position() != end_) {
                    throw DescriptionError(what_ + " ends at its marker before the end its length gives (byte " +
                                               std::to_string(end_) + ")",
                                           at);
                }
                return settings;
            }
            const std::optional<ValueForm> form = SettingForm(kindCode, code);
            if (!form) {
                throw DescriptionError(
                    what_ + ": unknown setting code " + Hex(code) + " for kind " + std::to_string(kindCode), at);
            }
            for (const Setting& s : settings) {
                if (s.code == code) throw DescriptionError(what_ + ": setting " + Hex(code) + " stored twice", at);
            }
            settings.push_back(ReadValue(code, *form));
            offsets_.push_back(at);
            if (in_.Position() > end_) {
                throw DescriptionError(what_ + ": setting " + Hex(code) + " runs past the record's end (byte " +
                                           std::to_string(end_) + ")",
                                       at);
            }
        }
    }

    // Where the setting with this code starts; the record's start when it is absent.
    std::size_t OffsetOf(const std::vector<Setting>& settings, std::uint8_t code) const {
        for (std::size_t i = 0; i < settings.size(); ++i) {
            if (settings[i].code == code) return offsets_[i];
        }
        return start_;
    }

   private:
    Setting ReadValue(std::uint8_t code, ValueForm form) {
        Setting s;
        s.code = code;
        s.form = form;
        switch (form) {
            case ValueForm::Text: s.text = ReadText(in_, "setting value"); break;
            case ValueForm::Int16: s.number = in_.I16("setting value"); break;
            case ValueForm::Int8: s.number = in_.U8("setting value"); break;
            case ValueForm::ControlRect: s.rect = ReadRect(false); break;
            case ValueForm::ClientRect: s.rect = ReadRect(true); break;
            case ValueForm::Picture: s.image = ReadPicture(what_ + " setting " + Hex(code)); break;
        }
        return s;
    }

    // Four 16-bit integers, or four 32-bit ones (`wide`), in the order left, top, width, height.
    DescriptionRect ReadRect(bool wide) {
        auto next = [&]() -> std::int32_t { return wide ? in_.I32("rectangle") : in_.I16("rectangle"); };
        DescriptionRect rect;
        rect.left = next();
        rect.top = next();
        rect.width = next();
        rect.height = next();
        return rect;
    }

    std::vector<std::uint8_t> ReadPicture(const std::string& what) {
        const std::size_t lengthAt = in_.Position();
        const std::uint32_t length = in_.U32("picture length");
        const std::size_t magicAt = in_.Position();
        const auto magic = in_.Bytes(4, "picture signature");
        if (magic[0] != 'l' || magic[1] != 't' || magic[2] != 0 || magic[3] != 0) {
            throw DescriptionError(what + ": picture signature is not \"lt\" 0 0", magicAt);
        }
        const std::size_t imageLengthAt = in_.Position();
        const std::uint32_t imageLength = in_.U32("image length");
        if (static_cast<std::uint64_t>(imageLength) + 8 != length) {
            throw DescriptionError(what + ": picture length " + std::to_string(length) +
                                       " does not match image length " + std::to_string(imageLength) + " + 8",
                                   lengthAt);
        }
        if (imageLength > end_ - std::min(end_, in_.Position())) {
            throw DescriptionError(
                what + ": image length " + std::to_string(imageLength) + " runs past the record's end", imageLengthAt);
        }
        const std::size_t imageAt = in_.Position();
        const auto image = in_.Bytes(imageLength, "image");
        CheckIconFile(image, imageAt, what);
        return {image.begin(), image.end()};
    }

    ByteReader& in_;
    std::size_t start_;
    std::size_t end_;
    std::vector<std::size_t> offsets_;
    std::string what_;
};

const Setting* Find(const std::vector<Setting>& settings, std::uint8_t code) {
    for (const Setting& s : settings) {
        if (s.code == code) return &s;
    }
    return nullptr;
}

void CheckRect(const DescriptionRect& rect, const std::string& what, std::size_t at) {
    if (rect.width < 0 || rect.height < 0) {
        throw DescriptionError(what + " has a negative width or height", at);
    }
}

// The signature, the identifiers and the reserved bytes, up to the total length.
void ReadHeader(ByteReader& in, WindowDescription& d) {
    if (in.U8("signature") != 0xFF || in.U8("signature") != 0xCC) {
        throw DescriptionError("not a window description: the signature is not 0xFF 0xCC", 0);
    }
    if (const std::uint16_t headerLength = in.U16("header length"); headerLength != 49) {
        throw DescriptionError("header length " + std::to_string(headerLength) + " is not 49", 2);
    }
    if (const std::uint8_t version = in.U8("header version"); version != 8) {
        throw DescriptionError("header byte " + std::to_string(version) + " is not 8", 4);
    }
    d.windowId = ReadGuid(in, "window identifier");
    d.projectId = ReadGuid(in, "project identifier");
    const std::size_t classAt = in.Position();
    d.classId = ReadGuid(in, "class identifier");
    if (d.classId != FormClassId()) {
        throw DescriptionError("class identifier " + d.classId.ToString() + " is not the form class", classAt);
    }
    for (int i = 0; i < 36; ++i) {
        const std::size_t at = in.Position();
        if (in.U8("reserved bytes") != 0) throw DescriptionError("reserved byte is not zero", at);
    }
}

// The 32-bit length of a record, which must lie inside the bytes and hold at least itself; returns
// where the record ends.
std::size_t ReadRecordEnd(ByteReader& in, std::string_view field, const std::string& what) {
    const std::size_t at = in.Position();
    const std::uint32_t length = in.U32(field);
    if (length > in.Size() - at || length < 4) {
        throw DescriptionError(what + " length " + std::to_string(length) + " runs past the end", at);
    }
    return at + length;
}

FormDescription ReadForm(ByteReader& in, std::size_t recordEnd) {
    const KindRow& row = KindRowOf(Kind::Form);
    RecordReader record(in, recordEnd, "window record");
    FormDescription form;
    record.ReadHead(0, form.name, form.kind);
    if (form.kind != KindCode(Kind::Form)) {
        throw DescriptionError("window kind " + std::to_string(form.kind) + " is not a form (13)", in.Position() - 1);
    }
    form.settings = record.ReadSettings(form.kind);
    if (const Setting* caption = Find(form.settings, row.caption)) form.caption = FromWindows1252(caption->text);
    if (const Setting* icon = Find(form.settings, form_setting::Icon)) form.icon = icon->image;
    const Setting* client = Find(form.settings, row.rect);
    if (client == nullptr) {
        throw DescriptionError("window record has no client rectangle (" + Hex(row.rect) + ")", record.Start());
    }
    const std::size_t clientAt = record.OffsetOf(form.settings, row.rect);
    CheckRect(client->rect, "window client rectangle", clientAt);
    if (client->rect.width == 0 || client->rect.height == 0) {
        throw DescriptionError("window client rectangle is empty", clientAt);
    }
    form.client = client->rect;
    if (const Setting* position = Find(form.settings, form_setting::StartUpPosition)) {
        if (position->number > kStartUpWindowsDefault) {
            throw DescriptionError("start-up position " + std::to_string(position->number) + " is not 0 to 3",
                                   record.OffsetOf(form.settings, form_setting::StartUpPosition));
        }
        form.startUpPosition = static_cast<std::uint8_t>(position->number);
    }
    return form;
}

ControlDescription ReadControl(ByteReader& in, std::size_t recordEnd, std::uint8_t index) {
    const std::string what = "control " + std::to_string(index);
    RecordReader record(in, recordEnd, what);
    ControlDescription control;
    control.index = index;
    record.ReadHead(index, control.name, control.kind);
    if (!IsControlKind(control.kind)) {
        throw DescriptionError(what + ": unknown control kind " + std::to_string(control.kind), in.Position() - 1);
    }
    control.settings = record.ReadSettings(control.kind);
    const KindRow& row = *FindKind(control.kind);
    if (const Setting* caption = Find(control.settings, row.caption)) {
        control.caption = FromWindows1252(caption->text);
    }
    const Setting* rect = Find(control.settings, row.rect);
    if (rect == nullptr) throw DescriptionError(what + " has no position (" + Hex(row.rect) + ")", record.Start());
    CheckRect(rect->rect, what + " position", record.OffsetOf(control.settings, row.rect));
    control.rect = rect->rect;
    const Setting* tab = Find(control.settings, row.tabIndex);
    if (tab == nullptr) {
        throw DescriptionError(what + " has no tab index (" + Hex(row.tabIndex) + ")", record.Start());
    }
    if (tab->number < 0) {
        throw DescriptionError(what + " has a negative tab index", record.OffsetOf(control.settings, row.tabIndex));
    }
    control.tabIndex = tab->number;
    return control;
}

// The control list: 0x01, the records separated by 0x03, then 0x02.
void ReadControls(ByteReader& in, std::vector<ControlDescription>& controls) {
    const std::size_t listAt = in.Position();
    if (in.U8("control list marker") != 0x01) {
        throw DescriptionError("the control list marker 0x01 is missing after the window record", listAt);
    }
    for (;;) {
        if (controls.size() == 255) throw DescriptionError("more than 255 controls", in.Position());
        const auto index = static_cast<std::uint8_t>(controls.size() + 1);
        const std::size_t recordEnd = ReadRecordEnd(in, "control length", "control " + std::to_string(index));
        controls.push_back(ReadControl(in, recordEnd, index));
        const std::size_t markAt = in.Position();
        const std::uint8_t mark = in.U8("separator after a control");
        if (mark == 0x03) continue;
        if (mark != 0x02) {
            throw DescriptionError("expected 0x03 (next control) or 0x02 (end of controls), found " + Hex(mark),
                                   markAt);
        }
        return;
    }
}

// Names must be unique, as handlers find their control by name; tab indices order the focus.
void CheckNamesAndTabIndices(const WindowDescription& d) {
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const ControlDescription& c = d.controls[i];
        if (EqualNoCase(c.name, d.form.name)) {
            throw DescriptionError("control " + std::to_string(c.index) + " has the window's name", 0);
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (EqualNoCase(c.name, d.controls[j].name)) {
                throw DescriptionError("controls " + std::to_string(d.controls[j].index) + " and " +
                                           std::to_string(c.index) + " share a name",
                                       0);
            }
            if (c.tabIndex == d.controls[j].tabIndex) {
                throw DescriptionError("controls " + std::to_string(d.controls[j].index) + " and " +
                                           std::to_string(c.index) + " share tab index " + std::to_string(c.tabIndex),
                                       0);
            }
        }
    }
}

}  // namespace

WindowDescription ReadWindowDescription(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    WindowDescription d;
    ReadHeader(in, d);
    const std::size_t totalAt = in.Position();
    const std::uint32_t total = in.U32("total length");
    if (total != bytes.size() - totalAt) {
        throw DescriptionError("total length " + std::to_string(total) + " does not match the " +
                                   std::to_string(bytes.size() - totalAt) + " bytes from there to the end",
                               totalAt);
    }
    d.form = ReadForm(in, ReadRecordEnd(in, "window record length", "window record"));
    ReadControls(in, d.controls);
    const std::size_t endAt = in.Position();
    if (in.U8("end of description") != 0x04) {
        throw DescriptionError("the last byte of the description is not 0x04", endAt);
    }
    if (in.Position() != bytes.size()) {
        throw DescriptionError("bytes after the end of the description", in.Position());
    }
    CheckNamesAndTabIndices(d);
    return d;
}

const ControlDescription* WindowDescription::FindControl(std::wstring_view name) const {
    for (const ControlDescription& c : controls) {
        if (EqualNoCase(c.name, name)) return &c;
    }
    return nullptr;
}

}  // namespace tervalux::rt
