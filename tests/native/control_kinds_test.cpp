#include "runtime/control_kinds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>

namespace tervalux::rt {
namespace {

// The table is what the reader, the builder and the generator trust, so a row that contradicts
// itself would pass a malformed description or refuse a good one.
TEST(KindTable, EveryRowNamesItsOwnSettingsInTheirForms) {
    std::set<int> kinds;
    for (const KindRow& row : kKinds) {
        const std::uint8_t code = KindCode(row.kind);
        SCOPED_TRACE(code);
        EXPECT_TRUE(kinds.insert(code).second) << "kind listed twice";
        EXPECT_EQ(FindKind(KindCode(row.kind)), &row);
        std::set<int> codes;
        for (const SettingRow& s : row.settings) {
            if (s.code == kNoSetting) continue;
            EXPECT_NE(s.code, 0xFF) << "0xFF ends a record";
            EXPECT_TRUE(codes.insert(s.code).second) << "setting listed twice";
        }
        const bool form = row.kind == Kind::Form;
        if (row.caption != kNoSetting) {
            EXPECT_EQ(SettingForm(code, row.caption), ValueForm::Text);
        }
        EXPECT_EQ(SettingForm(code, row.rect), form ? ValueForm::ClientRect : ValueForm::ControlRect);
        if (form) {
            EXPECT_EQ(row.tabIndex, kNoSetting);
        } else {
            EXPECT_EQ(SettingForm(code, row.tabIndex), ValueForm::Int16);
        }
    }
}

TEST(KindTable, ControlKindsAreTheRowsButTheForm) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto kindCode = static_cast<std::uint8_t>(code);
        const KindRow* row = FindKind(kindCode);
        EXPECT_EQ(IsControlKind(kindCode), row != nullptr && row->kind != Kind::Form);
        EXPECT_EQ(SettingForm(kindCode, kNoSetting), std::nullopt);
        if (row == nullptr) {
            EXPECT_EQ(SettingForm(kindCode, 0x04), std::nullopt);
        }
    }
    EXPECT_FALSE(IsControlKind(KindCode(Kind::Form)));
    EXPECT_TRUE(IsControlKind(KindCode(Kind::FileList)));
}

}  // namespace
}  // namespace tervalux::rt
