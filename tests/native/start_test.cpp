// The start routine meeting a description it cannot read: the user is told in Portuguese, with
// the byte where the description goes wrong, whatever the fault.
#include "runtime/start.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/form1_data.h"
#include "tests/fakes/memory_file_queries.h"
#include "tests/fakes/memory_platform.h"

namespace tervalux::rt {
namespace {

struct NoHost : FormHost {
    void Unloaded() override {}
    void EndProgram() override {}
};

// English words the readers' own problem texts use; none may reach the user.
bool HoldsEnglish(const std::wstring& text) {
    for (const wchar_t* word : {L" the ", L" is ", L"not ", L"window", L"length", L"byte 0x", L"signature"}) {
        if (text.find(word) != std::wstring::npos) return true;
    }
    return false;
}

TEST(StartUpDescription, AnUnreadableDescriptionIsReportedInPortugueseWithItsByte) {
    const auto good = form_data::ProjectDescriptionBytes();
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> spoil;
        std::size_t byte;
    };
    const Case cases[] = {
        {"empty", [](std::vector<std::uint8_t>& b) { b.clear(); }, 0},
        {"wrong signature", [](std::vector<std::uint8_t>& b) { b[0] = 'X'; }, 0},
        {"format version", [](std::vector<std::uint8_t>& b) { b[4] = 9; }, 4},
        {"cut short", [](std::vector<std::uint8_t>& b) { b.resize(b.size() / 2); }, static_cast<std::size_t>(-1)},
        {"last byte gone", [](std::vector<std::uint8_t>& b) { b.pop_back(); }, static_cast<std::size_t>(-1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> bytes(good.begin(), good.end());
        c.spoil(bytes);
        fake::MemoryPlatform platform;
        fake::MemoryFileQueries queries{platform.fs};
        NoHost host;
        try {
            BuildStartUpForm(Program{bytes, {}}, platform, queries, host);
            ADD_FAILURE() << "the spoilt description was accepted";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), err::InvalidCall);
            const std::wstring prefix = L"Descri\u00e7\u00e3o do projeto inv\u00e1lida (byte ";
            EXPECT_EQ(error.Description().rfind(prefix, 0), 0u) << ::testing::PrintToString(error.Description());
            EXPECT_FALSE(HoldsEnglish(error.Description())) << ::testing::PrintToString(error.Description());
            if (c.byte != static_cast<std::size_t>(-1)) {
                EXPECT_EQ(error.Description(), prefix + std::to_wstring(c.byte) + L")");
            }
        }
    }
}

}  // namespace
}  // namespace tervalux::rt
