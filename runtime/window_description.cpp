#include "runtime/window_description.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

#include "runtime/window_description_bytes.h"

namespace tervalux::rt {

DescriptionError::DescriptionError(std::string problem, std::size_t offset)
    : problem_(std::move(problem)), offset_(offset), message_(problem_ + " (at byte " + std::to_string(offset) + ")") {}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Windows-1252 characters 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::optional<Guid> Guid::Parse(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') {
        return std::nullopt;
    }
    std::array<std::uint8_t, 16> written{};  // in the order the text gives them
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (text[i] == '-') ++i;
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        written[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    // Data1, Data2 and Data3 are stored little-endian.
    constexpr std::array<std::size_t, 16> kOrder = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    Guid guid;
    for (std::size_t i = 0; i < 16; ++i) guid.bytes[i] = written[kOrder[i]];
    return guid;
}

std::string Guid::ToString() const {
    constexpr std::array<std::size_t, 16> kOrder = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string out;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        char buffer[3];
        std::snprintf(buffer, sizeof buffer, "%02X", bytes[kOrder[i]]);
        out += buffer;
    }
    return out;
}

const Guid& FormClassId() {
    static const Guid id = *Guid::Parse("33AD4F3A-6699-11CF-B70C-00AA0060D393");
    return id;
}

bool IsControlKind(std::uint8_t kindCode) {
    switch (kindCode) {
        case kind::TextBox:
        case kind::CommandButton:
        case kind::CheckBox:
        case kind::DriveList:
        case kind::FolderList:
        case kind::FileList: return true;
        default: return false;
    }
}

std::optional<ValueForm> SettingForm(std::uint8_t kindCode, std::uint8_t code) {
    switch (kindCode) {
        case kind::Form:
            switch (code) {
                case 0x01: return ValueForm::Text;
                case 0x19: return ValueForm::Int16;
                case 0x42: return ValueForm::Int8;
                case 0x23: return ValueForm::Picture;
                case 0x24: return ValueForm::Text;
                case 0x26: return ValueForm::Int8;
                case 0x35: return ValueForm::ClientRect;
                case 0x46: return ValueForm::Int8;
                default: return std::nullopt;
            }
        case kind::CheckBox:
            switch (code) {
                case 0x01: return ValueForm::Text;
                case 0x05: return ValueForm::ControlRect;
                case 0x12: return ValueForm::Int16;
                default: return std::nullopt;
            }
        case kind::CommandButton:
            switch (code) {
                case 0x01: return ValueForm::Text;
                case 0x04: return ValueForm::ControlRect;
                case 0x11: return ValueForm::Int16;
                default: return std::nullopt;
            }
        case kind::TextBox:
            switch (code) {
                case 0x04: return ValueForm::ControlRect;
                case 0x12: return ValueForm::Int16;
                default: return std::nullopt;
            }
        case kind::DriveList:
        case kind::FolderList:
        case kind::FileList:
            switch (code) {
                case 0x04: return ValueForm::ControlRect;
                case 0x0B: return ValueForm::Int16;
                default: return std::nullopt;
            }
        default: return std::nullopt;
    }
}

namespace {

// Which setting of a control kind holds its caption, position and tab index (0: none).
struct ControlCodes {
    std::uint8_t caption;
    std::uint8_t rect;
    std::uint8_t tabIndex;
};

ControlCodes CodesOf(std::uint8_t kindCode) {
    switch (kindCode) {
        case kind::CheckBox: return {0x01, 0x05, 0x12};
        case kind::CommandButton: return {0x01, 0x04, 0x11};
        case kind::TextBox: return {0, 0x04, 0x12};
        default: return {0, 0x04, 0x0B};
    }
}

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(value));
    return buffer;
}

bool SameNameNoCase(std::wstring_view a, std::wstring_view b) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

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
            case ValueForm::ControlRect:
                s.rect.left = in_.I16("rectangle");
                s.rect.top = in_.I16("rectangle");
                s.rect.width = in_.I16("rectangle");
                s.rect.height = in_.I16("rectangle");
                break;
            case ValueForm::ClientRect:
                s.rect.left = in_.I32("rectangle");
                s.rect.top = in_.I32("rectangle");
                s.rect.width = in_.I32("rectangle");
                s.rect.height = in_.I32("rectangle");
                break;
            case ValueForm::Picture: s.image = ReadPicture(what_ + " setting " + Hex(code)); break;
        }
        return s;
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

FormDescription ReadForm(ByteReader& in, std::size_t recordEnd) {
    const std::size_t start = in.Position();
    RecordReader record(in, recordEnd, "window record");
    FormDescription form;
    record.ReadHead(0, form.name, form.kind);
    if (form.kind != kind::Form) {
        throw DescriptionError("window kind " + std::to_string(form.kind) + " is not a form (13)", in.Position() - 1);
    }
    form.settings = record.ReadSettings(form.kind);
    if (const Setting* caption = Find(form.settings, form_setting::Caption)) {
        form.caption = FromWindows1252(caption->text);
    }
    if (const Setting* icon = Find(form.settings, form_setting::Icon)) form.icon = icon->image;
    const Setting* client = Find(form.settings, form_setting::ClientArea);
    if (client == nullptr) throw DescriptionError("window record has no client rectangle (0x35)", start);
    const std::size_t clientAt = record.OffsetOf(form.settings, form_setting::ClientArea);
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
    const std::size_t start = in.Position();
    const std::string what = "control " + std::to_string(index);
    RecordReader record(in, recordEnd, what);
    ControlDescription control;
    control.index = index;
    record.ReadHead(index, control.name, control.kind);
    if (!IsControlKind(control.kind)) {
        throw DescriptionError(what + ": unknown control kind " + std::to_string(control.kind), in.Position() - 1);
    }
    control.settings = record.ReadSettings(control.kind);
    const ControlCodes codes = CodesOf(control.kind);
    if (codes.caption != 0) {
        if (const Setting* caption = Find(control.settings, codes.caption)) {
            control.caption = FromWindows1252(caption->text);
        }
    }
    const Setting* rect = Find(control.settings, codes.rect);
    if (rect == nullptr) throw DescriptionError(what + " has no position (" + Hex(codes.rect) + ")", start);
    CheckRect(rect->rect, what + " position", record.OffsetOf(control.settings, codes.rect));
    control.rect = rect->rect;
    const Setting* tab = Find(control.settings, codes.tabIndex);
    if (tab == nullptr) throw DescriptionError(what + " has no tab index (" + Hex(codes.tabIndex) + ")", start);
    if (tab->number < 0) {
        throw DescriptionError(what + " has a negative tab index", record.OffsetOf(control.settings, codes.tabIndex));
    }
    control.tabIndex = tab->number;
    return control;
}

}  // namespace

WindowDescription ReadWindowDescription(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    WindowDescription d;

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

    const std::size_t totalAt = in.Position();
    const std::uint32_t total = in.U32("total length");
    if (total != bytes.size() - totalAt) {
        throw DescriptionError("total length " + std::to_string(total) + " does not match the " +
                                   std::to_string(bytes.size() - totalAt) + " bytes from there to the end",
                               totalAt);
    }
    const std::size_t ownAt = in.Position();
    const std::uint32_t own = in.U32("window record length");
    if (own > bytes.size() - ownAt || own < 4) {
        throw DescriptionError("window record length " + std::to_string(own) + " runs past the end", ownAt);
    }
    d.form = ReadForm(in, ownAt + own);

    const std::size_t listAt = in.Position();
    if (in.U8("control list marker") != 0x01) {
        throw DescriptionError("the control list marker 0x01 is missing after the window record", listAt);
    }
    for (;;) {
        if (d.controls.size() == 255) throw DescriptionError("more than 255 controls", in.Position());
        const auto index = static_cast<std::uint8_t>(d.controls.size() + 1);
        const std::size_t lengthAt = in.Position();
        const std::uint32_t length = in.U32("control length");
        if (length > bytes.size() - lengthAt || length < 4) {
            throw DescriptionError(
                "control " + std::to_string(index) + " length " + std::to_string(length) + " runs past the end",
                lengthAt);
        }
        d.controls.push_back(ReadControl(in, lengthAt + length, index));
        const std::size_t markAt = in.Position();
        const std::uint8_t mark = in.U8("separator after a control");
        if (mark == 0x03) continue;
        if (mark != 0x02) {
            throw DescriptionError("expected 0x03 (next control) or 0x02 (end of controls), found " + Hex(mark),
                                   markAt);
        }
        break;
    }
    const std::size_t endAt = in.Position();
    if (in.U8("end of description") != 0x04) {
        throw DescriptionError("the last byte of the description is not 0x04", endAt);
    }
    if (in.Position() != bytes.size()) {
        throw DescriptionError("bytes after the end of the description", in.Position());
    }

    // Names must be unique, as handlers find their control by name; tab indices order the focus.
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const ControlDescription& c = d.controls[i];
        if (SameNameNoCase(c.name, d.form.name)) {
            throw DescriptionError("control " + std::to_string(c.index) + " has the window's name", 0);
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (SameNameNoCase(c.name, d.controls[j].name)) {
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
    return d;
}

const ControlDescription* WindowDescription::FindControl(std::wstring_view name) const {
    for (const ControlDescription& c : controls) {
        if (SameNameNoCase(c.name, name)) return &c;
    }
    return nullptr;
}

namespace {

Setting EmptySetting(std::uint8_t code, ValueForm form) {
    Setting s;
    s.code = code;
    s.form = form;
    return s;
}

}  // namespace

Setting Setting::Text(std::uint8_t code, std::string windows1252) {
    Setting s = EmptySetting(code, ValueForm::Text);
    s.text = std::move(windows1252);
    return s;
}

Setting Setting::Int16(std::uint8_t code, std::int16_t value) {
    Setting s = EmptySetting(code, ValueForm::Int16);
    s.number = value;
    return s;
}

Setting Setting::Int8(std::uint8_t code, std::uint8_t value) {
    Setting s = EmptySetting(code, ValueForm::Int8);
    s.number = value;
    return s;
}

Setting Setting::ControlRect(std::uint8_t code, DescriptionRect rect) {
    Setting s = EmptySetting(code, ValueForm::ControlRect);
    s.rect = rect;
    return s;
}

Setting Setting::ClientRect(std::uint8_t code, DescriptionRect rect) {
    Setting s = EmptySetting(code, ValueForm::ClientRect);
    s.rect = rect;
    return s;
}

Setting Setting::Picture(std::uint8_t code, std::vector<std::uint8_t> iconFile) {
    Setting s = EmptySetting(code, ValueForm::Picture);
    s.image = std::move(iconFile);
    return s;
}

namespace {

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

std::uint16_t ByteReader::U16(std::string_view what) {
    const auto b = Bytes(2, what);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t ByteReader::U32(std::string_view what) {
    const auto b = Bytes(4, what);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
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
        const std::uint8_t c = chars[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!(letter || (i > 0 && (digit || c == '_')))) {
            throw DescriptionError(in.Describe(what) + " holds the byte " + Hex(c) + ", which no name may hold",
                                   at + i);
        }
        name += static_cast<wchar_t>(c);
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

void CheckIconFile(std::span<const std::uint8_t> file, std::size_t at, const std::string& what) {
    auto u16 = [&](std::size_t i) { return static_cast<std::uint32_t>(file[i] | file[i + 1] << 8); };
    auto u32 = [&](std::size_t i) { return u16(i) | u16(i + 2) << 16; };
    if (file.size() < 6 || u16(0) != 0 || u16(2) != 1) {
        throw DescriptionError(what + ": the image is not an icon file", at);
    }
    const std::uint32_t count = u16(4);
    const std::size_t directoryEnd = 6 + 16 * static_cast<std::size_t>(count);
    if (count == 0 || directoryEnd > file.size()) {
        throw DescriptionError(what + ": icon directory of " + std::to_string(count) + " images does not fit", at + 4);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t size = u32(entry + 8);
        const std::uint64_t offset = u32(entry + 12);
        if (size < 4 || offset < directoryEnd || offset + size > file.size()) {
            throw DescriptionError(what + ": icon image " + std::to_string(i + 1) + " lies outside the icon file",
                                   at + entry + 8);
        }
        const auto o = static_cast<std::size_t>(offset);
        const bool bitmap = u32(o) == 40 && size >= 40;
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

void ByteWriter::PatchLength(std::size_t at) {
    const std::uint32_t n = Length32(bytes_.size() - at, "record");
    for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(n >> (8 * i));
}

std::wstring FromWindows1252(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
    }
    return out;
}

std::optional<std::string> ToWindows1252(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        // Where wchar_t is signed, a negative one becomes a code past 0xFFFF, which is refused below.
        const auto code = static_cast<std::uint32_t>(c);  // NOLINT(bugprone-signed-char-misuse)
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const auto* found = std::find(std::begin(kHighControls), std::end(kHighControls), static_cast<char16_t>(code));
        if (code > 0xFFFF || found == std::end(kHighControls)) return std::nullopt;
        out += static_cast<char>(0x80 + (found - std::begin(kHighControls)));
    }
    return out;
}

}  // namespace tervalux::rt
