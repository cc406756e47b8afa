#include "runtime/description_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tervalux::rt {
namespace {

// ---- texts and identifiers ------------------------------------------------------------------------

TEST(Windows1252, DecodesAndEncodes) {
    EXPECT_EQ(FromWindows1252("diret\xF3rio \x80\x81\x9F"), L"diret\u00f3rio \u20ac\u0081\u0178");
    EXPECT_EQ(ToWindows1252(L"diret\u00f3rio \u20ac"), "diret\xF3rio \x80");
    EXPECT_EQ(ToWindows1252(L"\u0100"), std::nullopt);
    EXPECT_EQ(ToWindows1252(L"\u65e5"), std::nullopt);
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
}

TEST(GuidText, ParsesToTheWindowsLayoutAndBack) {
    const auto g = Guid::Parse("{33AD4F3A-6699-11CF-B70C-00AA0060D393}");
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->bytes[0], 0x3A);
    EXPECT_EQ(g->bytes[4], 0x99);
    EXPECT_EQ(g->bytes[6], 0xCF);
    EXPECT_EQ(g->bytes[8], 0xB7);
    EXPECT_EQ(g->ToString(), "33AD4F3A-6699-11CF-B70C-00AA0060D393");
    for (const char* bad : {"", "33AD4F3A66991-1CF-B70C-00AA0060D393", "33AD4F3A-6699-11CF-B70C-00AA0060D39G",
                            "33AD4F3A-6699-11CF-B70C-00AA0060D3931"}) {
        EXPECT_FALSE(Guid::Parse(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace tervalux::rt
