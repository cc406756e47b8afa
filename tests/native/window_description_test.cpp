#include "runtime/window_description.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/description_writers.h"
#include "tests/support/form1_layout.h"

namespace tervalux::rt {
namespace {

using namespace layout;

// ---- reading --------------------------------------------------------------------------------------

TEST(ReadWindowDescription, FormFields) {
    const WindowDescription d = ReadWindowDescription(Form1());
    EXPECT_EQ(d.classId, FormClassId());
    EXPECT_EQ(d.form.name, L"Form1");
    EXPECT_EQ(d.form.kind, KindCode(Kind::Form));
    EXPECT_EQ(d.form.caption, L"Tervalux");
    EXPECT_EQ(d.form.client, (DescriptionRect{kClient.left, kClient.top, kClient.width, kClient.height}));
    EXPECT_EQ(d.form.startUpPosition, kStartUpCenterScreen);
    std::vector<int> codes;
    for (const Setting& s : d.form.settings) codes.push_back(s.code);
    EXPECT_EQ(codes, (std::vector<int>{0x01, 0x19, 0x42, 0x23, 0x24, 0x26, 0x35, 0x46}));
    EXPECT_EQ(d.form.settings[1].number, 1);
    EXPECT_EQ(d.form.settings[4].text, "Form1");
}

TEST(ReadWindowDescription, ControlsInStoredOrder) {
    const WindowDescription d = ReadWindowDescription(Form1());
    ASSERT_EQ(d.controls.size(), kControlCount);
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const ControlDescription& c = d.controls[i];
        const ControlRow& x = kControls[i];
        SCOPED_TRACE(x.name);
        EXPECT_EQ(c.index, i + 1);
        EXPECT_EQ(c.name, std::wstring(x.name, x.name + std::char_traits<char>::length(x.name)));
        EXPECT_EQ(c.kind, x.kind);
        EXPECT_EQ(c.caption, x.caption ? FromWindows1252(x.caption) : L"");
        EXPECT_EQ(c.rect, (DescriptionRect{x.rect.left, x.rect.top, x.rect.width, x.rect.height}));
        EXPECT_EQ(c.tabIndex, x.tab);
    }
    EXPECT_EQ(d.controls[0].caption, L"Copiar o arquivo para o diret\u00f3rio System do Windows");
}

TEST(ReadWindowDescription, NameLookup) {
    const WindowDescription d = ReadWindowDescription(Form1());
    ASSERT_NE(d.FindControl(L"CMDREG"), nullptr);
    EXPECT_EQ(d.FindControl(L"CMDREG")->index, 5);
    EXPECT_EQ(d.FindControl(L"Form1"), nullptr);
    EXPECT_EQ(d.FindControl(L"Label1"), nullptr);
}

// ---- writing --------------------------------------------------------------------------------------

TEST(WriteWindowDescription, RoundTripGivesTheSameBytes) {
    const Bytes b = Form1();
    EXPECT_EQ(WriteWindowDescription(ReadWindowDescription(b)), b);
}

TEST(WriteWindowDescription, BuiltDescriptionReadsBack) {
    WindowDescription d;
    d.windowId = *Guid::Parse("00000001-0002-0003-0405-060708090A0B");
    d.classId = FormClassId();
    d.form.name = L"Main";
    d.form.settings = {setting::Text(0x01, "A\xE7\xE3o"), setting::ClientRect(0x35, {0, 0, 300, 200}),
                       setting::Int8(0x46, 1)};
    ControlDescription button;
    button.index = 1;
    button.name = L"cmdOk";
    button.kind = KindCode(Kind::CommandButton);
    button.settings = {setting::ControlRect(0x04, {-15, 10, 100, 50}), setting::Int16(0x11, 0),
                       setting::Text(0x01, "")};
    ControlDescription list = button;
    list.index = 2;
    list.name = L"Drv";
    list.kind = KindCode(Kind::DriveList);
    list.settings = {setting::Int16(0x0B, 1), setting::ControlRect(0x04, {1, 2, 3, 4})};
    d.controls = {button, list};

    const WindowDescription r = ReadWindowDescription(WriteWindowDescription(d));
    EXPECT_EQ(r.windowId, d.windowId);
    EXPECT_EQ(r.form.caption, L"A\u00e7\u00e3o");
    EXPECT_EQ(r.form.startUpPosition, kStartUpCenterOwner);
    EXPECT_TRUE(r.form.icon.empty());
    ASSERT_EQ(r.controls.size(), 2u);
    EXPECT_EQ(r.controls[0].rect, (DescriptionRect{-15, 10, 100, 50}));
    EXPECT_EQ(r.controls[0].caption, L"");
    EXPECT_EQ(r.controls[1].tabIndex, 1);
    EXPECT_EQ(r.controls[1].settings, list.settings);
}

TEST(WriteWindowDescription, RefusesNamesOutsideAscii) {
    WindowDescription d = ReadWindowDescription(Form1());
    d.controls[0].name = L"Chk\u00e7";
    EXPECT_THROW(WriteWindowDescription(d), DescriptionError);
}

// ---- malformed descriptions -----------------------------------------------------------------------

struct ByteCase {
    const char* label;
    std::function<void(Bytes&)> mutate;
    const char* problem;  // a part of the expected problem text
    std::function<std::size_t(const Bytes&)> offset;
};

std::function<std::size_t(const Bytes&)> At(std::size_t n) {
    return [n](const Bytes&) { return n; };
}

std::size_t ControlsAt(const Bytes& b) {
    return kOwnLengthAt + U32(b, kOwnLengthAt) + 1;
}
std::size_t FirstSeparatorAt(const Bytes& b) {
    return ControlsAt(b) + U32(b, ControlsAt(b));
}

TEST(ReadWindowDescription, MalformedBytesGiveClearErrors) {
    const ByteCase cases[] = {
        {"wrong signature", [](Bytes& b) { b[1] = 0xCD; }, "signature", At(0)},
        {"header length", [](Bytes& b) { b[2] = 48; }, "header length 48", At(2)},
        {"header byte", [](Bytes& b) { b[4] = 9; }, "header byte 9", At(4)},
        {"class id", [](Bytes& b) { b[37] ^= 1; }, "not the form class", At(37)},
        {"reserved byte", [](Bytes& b) { b[70] = 1; }, "reserved byte", At(70)},
        {"trailing garbage", [](Bytes& b) { b.push_back(0); }, "total length", At(kTotalLengthAt)},
        {"trailing garbage counted",
         [](Bytes& b) {
             b.push_back(0);
             Put32(b, kTotalLengthAt, static_cast<std::uint32_t>(b.size() - kTotalLengthAt));
         },
         "bytes after the end", [](const Bytes& b) { return b.size() - 1; }},
        {"total length short", [](Bytes& b) { Put32(b, kTotalLengthAt, U32(b, kTotalLengthAt) - 1); }, "total length",
         At(kTotalLengthAt)},
        {"own length long", [](Bytes& b) { Put32(b, kOwnLengthAt, U32(b, kOwnLengthAt) + 1); }, "before the end",
         [](const Bytes& b) { return kOwnLengthAt + U32(b, kOwnLengthAt) - 2; }},
        {"own length short", [](Bytes& b) { Put32(b, kOwnLengthAt, U32(b, kOwnLengthAt) - 1); }, "no end marker",
         [](const Bytes& b) { return kOwnLengthAt + U32(b, kOwnLengthAt); }},
        {"own length huge", [](Bytes& b) { Put32(b, kOwnLengthAt, 0xFFFFFFF0u); }, "runs past the end",
         At(kOwnLengthAt)},
        {"window index", [](Bytes& b) { b[kWindowIndexAt] = 1; }, "index 1, expected 0", At(kWindowIndexAt)},
        {"name length zero", [](Bytes& b) { b[kWindowIndexAt + 1] = 0; }, "length 0", At(kWindowIndexAt + 1)},
        {"name without zero", [](Bytes& b) { b[kWindowNameAt + 5] = 'x'; }, "not followed by a zero byte",
         At(kWindowNameAt + 5)},
        {"name character", [](Bytes& b) { b[kWindowNameAt + 2] = '-'; }, "no name may hold", At(kWindowNameAt + 2)},
        {"window kind", [](Bytes& b) { b[kWindowKindAt] = 4; }, "not a form", At(kWindowKindAt)},
        {"unknown setting code", [](Bytes& b) { b[kFirstSettingAt] = 0x02; }, "unknown setting code 0x02",
         At(kFirstSettingAt)},
        {"caption without zero", [](Bytes& b) { b[kFirstSettingAt + 3 + 8] = '!'; }, "not followed by a zero",
         At(kFirstSettingAt + 3 + 8)},
        {"caption holds zero", [](Bytes& b) { b[kFirstSettingAt + 4] = 0; }, "holds a zero byte",
         At(kFirstSettingAt + 4)},
        {"picture signature", [](Bytes& b) { b[kFirstSettingAt + 12 + 5 + 5] = 'x'; }, "\"lt\"",
         At(kFirstSettingAt + 12 + 5 + 5)},
        {"picture length", [](Bytes& b) { b[kFirstSettingAt + 12 + 5 + 1]++; }, "does not match image length",
         At(kFirstSettingAt + 12 + 5 + 1)},
        {"icon image count", [](Bytes& b) { b[kFirstSettingAt + 12 + 5 + 13 + 4] = 200; }, "does not fit",
         At(kFirstSettingAt + 12 + 5 + 13 + 4)},
        {"icon image outside", [](Bytes& b) { b[kFirstSettingAt + 12 + 5 + 13 + 6 + 16 + 13] = 0x10; },
         "outside the icon file", At(kFirstSettingAt + 12 + 5 + 13 + 6 + 16 + 8)},
        {"control list marker", [](Bytes& b) { b[ControlsAt(b) - 1] = 0x03; }, "control list marker",
         [](const Bytes& b) { return ControlsAt(b) - 1; }},
        {"control length", [](Bytes& b) { Put32(b, ControlsAt(b), 0x7FFFFFFF); }, "runs past the end", ControlsAt},
        {"control index", [](Bytes& b) { b[ControlsAt(b) + 4] = 2; }, "control 1 has index 2",
         [](const Bytes& b) { return ControlsAt(b) + 4; }},
        {"control kind", [](Bytes& b) { b[ControlsAt(b) + 4 + 3 + 6 + 1] = 13; }, "unknown control kind 13",
         [](const Bytes& b) { return ControlsAt(b) + 4 + 3 + 6 + 1; }},
        {"control setting for another kind", [](Bytes& b) { b[ControlsAt(b) + 4 + 3 + 6 + 1] = 4; },
         "unknown setting code 0x05 for kind 4", [](const Bytes& b) { return ControlsAt(b) + 4 + 3 + 6 + 1 + 1 + 55; }},
        {"separator", [](Bytes& b) { b[FirstSeparatorAt(b)] = 0x05; }, "expected 0x03", FirstSeparatorAt},
        {"controls end early", [](Bytes& b) { b[FirstSeparatorAt(b)] = 0x02; }, "not 0x04",
         [](const Bytes& b) { return FirstSeparatorAt(b) + 1; }},
        {"last byte", [](Bytes& b) { b.back() = 0x05; }, "not 0x04", [](const Bytes& b) { return b.size() - 1; }},
        {"no end of controls",
         [](Bytes& b) {
             b.resize(b.size() - 2);
             Put32(b, kTotalLengthAt, U32(b, kTotalLengthAt) - 2);
         },
         "ends inside", [](const Bytes& b) { return b.size(); }},
    };
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.label);
        Bytes b = Form1();
        c.mutate(b);
        try {
            ReadWindowDescription(b);
            ADD_FAILURE() << "no error";
        } catch (const DescriptionError& e) {
            EXPECT_NE(e.Problem().find(c.problem), std::string::npos) << e.what();
            EXPECT_EQ(e.Offset(), c.offset(b)) << e.what();
        }
    }
}

struct ModelCase {
    const char* label;
    std::function<void(WindowDescription&)> mutate;
    const char* problem;
};

TEST(ReadWindowDescription, InconsistentRecordsGiveClearErrors) {
    const ModelCase cases[] = {
        {"setting twice", [](WindowDescription& d) { d.form.settings.push_back(setting::Int8(0x42, 0)); },
         "setting 0x42 stored twice"},
        {"no client area", [](WindowDescription& d) { d.form.settings.erase(d.form.settings.begin() + 6); },
         "no client rectangle"},
        {"empty client area",
         [](WindowDescription& d) {
             d.form.settings[6] = setting::ClientRect(0x35, {60, 345, 0, 5070});
         },
         "client rectangle is empty"},
        {"start-up position", [](WindowDescription& d) { d.form.settings[7] = setting::Int8(0x46, 7); },
         "start-up position 7"},
        {"no position", [](WindowDescription& d) { d.controls[7].settings.erase(d.controls[7].settings.begin()); },
         "control 8 has no position"},
        {"no tab index", [](WindowDescription& d) { d.controls[2].settings.pop_back(); }, "control 3 has no tab index"},
        {"negative width",
         [](WindowDescription& d) {
             d.controls[5].settings[0] = setting::ControlRect(0x04, {0, 0, -1, 10});
         },
         "negative width"},
        {"negative tab index", [](WindowDescription& d) { d.controls[6].settings[1] = setting::Int16(0x0B, -1); },
         "negative tab index"},
        {"shared tab index", [](WindowDescription& d) { d.controls[6].settings[1] = setting::Int16(0x0B, 0); },
         "share tab index 0"},
        {"shared name", [](WindowDescription& d) { d.controls[3].name = L"CMDSAIR"; }, "share a name"},
        {"window's name", [](WindowDescription& d) { d.controls[3].name = L"form1"; }, "the window's name"},
        {"control count", [](WindowDescription& d) { d.controls.erase(d.controls.begin() + 2); },
         "control 3 has index 4"},
        {"no controls", [](WindowDescription& d) { d.controls.clear(); }, "ends inside"},
        {"wrong value form", [](WindowDescription& d) { d.form.settings[1] = setting::Int8(0x19, 1); },
         "unknown setting code"},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.label);
        WindowDescription d = ReadWindowDescription(Form1());
        c.mutate(d);
        const Bytes b = WriteWindowDescription(d);
        try {
            ReadWindowDescription(b);
            ADD_FAILURE() << "no error";
        } catch (const DescriptionError& e) {
            EXPECT_NE(e.Problem().find(c.problem), std::string::npos) << e.what();
            EXPECT_LE(e.Offset(), b.size());
        }
    }
}

TEST(ReadWindowDescription, EveryTruncationIsAnError) {
    const Bytes b = Form1();
    for (std::size_t n = 0; n < b.size(); ++n) {
        const Bytes cut(b.begin(), b.begin() + static_cast<long>(n));
        try {
            ReadWindowDescription(cut);
            ADD_FAILURE() << "truncation at " << n << " was read";
        } catch (const DescriptionError& e) {
            EXPECT_LE(e.Offset(), n) << e.what();
        }
    }
}

TEST(ReadWindowDescription, EveryCorruptedByteIsReadOrRefused) {
    // No single wrong byte may crash the reader or let it read outside the bytes (the sanitize
    // preset watches the latter); a byte it accepts must still give a consistent description.
    const Bytes original = Form1();
    for (std::size_t i = 0; i < original.size(); ++i) {
        // A small and a large change, alternating, so each field meets both.
        for (std::uint8_t x : {std::uint8_t{0x01}, static_cast<std::uint8_t>(i % 2 ? 0x80 : 0xFF)}) {
            Bytes b = original;
            b[i] ^= x;
            try {
                const WindowDescription d = ReadWindowDescription(b);
                EXPECT_EQ(WriteWindowDescription(d), b) << "byte " << i;
            } catch (const DescriptionError& e) {
                EXPECT_LE(e.Offset(), b.size());
            }
        }
    }
}

}  // namespace
}  // namespace tervalux::rt
