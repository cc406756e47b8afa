// The attribute value the services hand the commands: the system's bits reduced to the classic ones.
#include <gtest/gtest.h>

#include "platform/services.h"

namespace tervalux {
namespace {

TEST(ClassicAttributes, KeepOnlyTheBitsTheCommandsTest) {
    struct Case {
        std::uint32_t system;
        std::uint32_t classic;
        const char* what;
    };
    const Case cases[] = {
        {0x80, 0, "normal alone: a file with no attribute bit"},
        {0x80 | 0x01, 0x01, "normal with read-only (never reported together, but kept apart)"},
        {0x80 | 0x2000, 0, "normal and not content indexed"},
        {0x2000 | 0x20, 0x20, "not content indexed plus archive"},
        {0x20, 0x20, "archive"},
        {0x01 | 0x02 | 0x04 | 0x20, 0x27, "read-only, hidden, system, archive"},
        {0x10, 0x10, "folder"},
        {0x10 | 0x400, 0x10, "folder that is a reparse point"},
        {0x800 | 0x200 | 0x1000 | 0x100, 0, "compressed, sparse, offline, temporary"},
        {0x40 | 0x4000 | 0x8000 | 0x20000 | 0x40000 | 0x400000, 0, "device, encrypted, integrity, no scrub, ..."},
        {0xFFFFFFFF, 0x37, "every bit"},
        {0, 0, "nothing"},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassicAttributes(c.system), c.classic) << c.what;
}

}  // namespace
}  // namespace tervalux
