#include "runtime/project_description.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/form1_data.h"
#include "tests/support/description_writers.h"

namespace tervalux::rt {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Project() {
    const auto span = form_data::ProjectDescriptionBytes();
    return {span.begin(), span.end()};
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3])
                                                                                      << 24;
}

// The texts "Tervalux", "Quenlor", "Form1" with their lengths and zero bytes follow the 16-byte
// head, so the one window entry starts at 16 + 11 + 10 + 8.
constexpr std::size_t kEntryAt = 45;

TEST(ProjectBytes, HeadTextsAndWindowEntry) {
    const Bytes b = Project();
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "TVXP");
    EXPECT_EQ(b[4] | b[5] << 8, 1);
    EXPECT_EQ(b[6] | b[7] << 8, 1);
    EXPECT_EQ(U32(b, 8), kEntryAt);
    EXPECT_EQ(U32(b, 12), b.size());
    EXPECT_EQ(std::string(b.begin() + 16, b.begin() + kEntryAt),
              std::string("\x08\x00Tervalux\x00\x07\x00Quenlor\x00\x05\x00"
                          "Form1\x00",
                          29));
    // The entry: the window description's own identifier, where it lies, its name and kind.
    EXPECT_TRUE(
        std::equal(b.begin() + kEntryAt, b.begin() + kEntryAt + 16, form_data::Form1DescriptionBytes().begin() + 5));
    EXPECT_EQ(U32(b, kEntryAt + 16), form_data::kForm1DescriptionOffset);
    EXPECT_EQ(U32(b, kEntryAt + 16), kEntryAt + kWindowEntrySize);
    EXPECT_EQ(U32(b, kEntryAt + 20), form_data::kForm1DescriptionSize);
    EXPECT_EQ(std::string(b.begin() + kEntryAt + 24, b.begin() + kEntryAt + 56),
              std::string("Form1") + std::string(27, '\0'));
    EXPECT_EQ(U32(b, kEntryAt + 56), 13u);
    EXPECT_EQ(Bytes(b.begin() + kEntryAt + 60, b.begin() + kEntryAt + 80), Bytes(20, 0));
    EXPECT_EQ(b.size(), kEntryAt + kWindowEntrySize + form_data::kForm1DescriptionSize);
}

TEST(ReadProjectDescription, FactsAndWindowLookup) {
    const Bytes b = Project();
    const ProjectDescription p = ReadProjectDescription(b);
    EXPECT_EQ(p.name, L"Tervalux");
    EXPECT_EQ(p.title, L"Quenlor");
    EXPECT_EQ(p.startUpObject, L"Form1");
    ASSERT_EQ(p.windows.size(), 1u);
    EXPECT_EQ(&p.StartUpWindow(), &p.windows[0]);
    EXPECT_EQ(p.FindWindow(L"FORM1"), &p.windows[0]);
    EXPECT_EQ(p.FindWindow(L"Form2"), nullptr);

    const WindowDescription w = ReadWindow(b, p, p.StartUpWindow().id);
    EXPECT_EQ(w.windowId, p.windows[0].id);
    EXPECT_EQ(w.form.caption, L"Tervalux");
    EXPECT_EQ(w.controls.size(), 8u);
    EXPECT_THROW(ReadWindow(b, p, FormClassId()), DescriptionError);
}

TEST(WriteProjectDescription, GivesTheGeneratedBytes) {
    // The generator and this writer lay the project out independently; they must agree.
    const auto form1 = form_data::Form1DescriptionBytes();
    const Bytes written =
        WriteProjectDescription(L"Tervalux", L"Quenlor", L"Form1", {{L"Form1", Bytes(form1.begin(), form1.end())}});
    EXPECT_EQ(written, Project());
}

TEST(WriteProjectDescription, SeveralWindowsReadBack) {
    const auto form1 = form_data::Form1DescriptionBytes();
    WindowDescription second = ReadWindowDescription(form1);
    second.windowId.bytes[0] ^= 0xFF;
    second.form.name = L"Form2";
    const Bytes b = WriteProjectDescription(
        L"P", L"T\u00edtulo", L"Form2",
        {{L"Form1", Bytes(form1.begin(), form1.end())}, {L"Form2", WriteWindowDescription(second)}});
    const ProjectDescription p = ReadProjectDescription(b);
    EXPECT_EQ(p.title, L"T\u00edtulo");
    EXPECT_EQ(p.StartUpWindow().name, L"Form2");
    EXPECT_EQ(ReadWindow(b, p, second.windowId).form.name, L"Form2");
    EXPECT_THROW(WriteProjectDescription(L"P", L"\u0100", L"Form1", {}), DescriptionError);
}

struct Case {
    const char* label;
    std::function<void(Bytes&)> mutate;
    const char* problem;
    std::size_t offset;
};

TEST(ReadProjectDescription, MalformedBytesGiveClearErrors) {
    const Case cases[] = {
        {"signature", [](Bytes& b) { b[3] = 'Q'; }, "signature", 0},
        {"version", [](Bytes& b) { b[4] = 2; }, "format version 2", 4},
        {"no window", [](Bytes& b) { b[6] = 0; }, "no window", 6},
        {"table offset", [](Bytes& b) { b[8]++; }, "window table offset", 8},
        {"length", [](Bytes& b) { b.push_back(0); }, "project length", 12},
        {"table too long", [](Bytes& b) { b[7] = 0x40; }, "runs past the end", kEntryAt},
        {"start-up object", [](Bytes& b) { b[16 + 11 + 10 + 2] = 'G'; }, "start-up object", 16 + 11 + 10},
        {"title without zero", [](Bytes& b) { b[16 + 11 + 9] = '!'; }, "not followed by a zero byte", 16 + 11 + 9},
        {"description inside the table", [](Bytes& b) { b[kEntryAt + 16] -= 1; }, "outside", kEntryAt + 16},
        {"description past the end", [](Bytes& b) { b[kEntryAt + 20] += 1; }, "outside", kEntryAt + 16},
        {"identifier differs", [](Bytes& b) { b[kEntryAt + 3] ^= 1; }, "identifier", kEntryAt},
        {"name not terminated", [](Bytes& b) { std::fill_n(b.begin() + kEntryAt + 24, 32, 'A'); }, "zero-terminated",
         kEntryAt + 24},
        {"name padding", [](Bytes& b) { b[kEntryAt + 24 + 10] = 'A'; }, "padding", kEntryAt + 34},
        {"kind", [](Bytes& b) { b[kEntryAt + 56] = 4; }, "not a form", kEntryAt + 56},
        {"reserved", [](Bytes& b) { b[kEntryAt + 79] = 1; }, "reserved", kEntryAt + 79},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Bytes b = Project();
        c.mutate(b);
        try {
            ReadProjectDescription(b);
            ADD_FAILURE() << "no error";
        } catch (const DescriptionError& e) {
            EXPECT_NE(e.Problem().find(c.problem), std::string::npos) << e.what();
            EXPECT_EQ(e.Offset(), c.offset) << e.what();
        }
    }
}

TEST(ReadProjectDescription, EveryTruncationIsAnError) {
    const Bytes b = Project();
    for (std::size_t n = 0; n < b.size(); ++n) {
        EXPECT_THROW(ReadProjectDescription(Bytes(b.begin(), b.begin() + static_cast<long>(n))), DescriptionError) << n;
    }
}

TEST(ReadWindow, ErrorsNameOffsetsInTheProject) {
    Bytes b = Project();
    const std::size_t kindAt = form_data::kForm1DescriptionOffset + 106;
    b[kindAt] = 4;
    const ProjectDescription p = ReadProjectDescription(b);
    try {
        ReadWindow(b, p, p.windows[0].id);
        ADD_FAILURE() << "no error";
    } catch (const DescriptionError& e) {
        EXPECT_EQ(e.Offset(), kindAt);
        EXPECT_EQ(e.Problem().rfind("window Form1: ", 0), 0u) << e.what();
    }
}

}  // namespace
}  // namespace tervalux::rt
