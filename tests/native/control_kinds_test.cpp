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
    for (const KindSpec& spec : kKinds) {
        const std::uint8_t code = KindCode(spec.kind);
        SCOPED_TRACE(code);
        EXPECT_TRUE(kinds.insert(code).second) << "kind listed twice";
        EXPECT_EQ(FindKind(KindCode(spec.kind)), &spec);
        std::set<int> codes;
        for (const SettingSpec& s : spec.settings) {
            if (s.code == kNoSetting) continue;
            EXPECT_NE(s.code, 0xFF) << "0xFF ends a record";
            EXPECT_TRUE(codes.insert(s.code).second) << "setting listed twice";
        }
        const bool form = spec.kind == Kind::Form;
        if (spec.caption != kNoSetting) {
            EXPECT_EQ(SettingForm(code, spec.caption), ValueForm::Text);
        }
        EXPECT_EQ(SettingForm(code, spec.rect), form ? ValueForm::ClientRect : ValueForm::ControlRect);
        if (form) {
            EXPECT_EQ(spec.tabIndex, kNoSetting);
        } else {
            EXPECT_EQ(SettingForm(code, spec.tabIndex), ValueForm::Int16);
        }
    }
}

TEST(KindTable, ControlKindsAreTheRowsButTheForm) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto kindCode = static_cast<std::uint8_t>(code);
        const KindSpec* spec = FindKind(kindCode);
        EXPECT_EQ(IsControlKind(kindCode), spec != nullptr && spec->kind != Kind::Form);
        EXPECT_EQ(SettingForm(kindCode, kNoSetting), std::nullopt);
        if (spec == nullptr) {
            EXPECT_EQ(SettingForm(kindCode, 0x04), std::nullopt);
        }
    }
    EXPECT_FALSE(IsControlKind(KindCode(Kind::Form)));
    EXPECT_TRUE(IsControlKind(KindCode(Kind::FileList)));
}

}  // namespace
}  // namespace tervalux::rt
