// The image machine read from a file's first bytes, which may be anything at all.
#include "platform/pe_machine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "tests/native/image_bytes.h"

namespace tervalux {
namespace {

using Bytes = testing::ImageBytes;
using testing::Image;

TEST(ImageMachine, ReadsTheMachineOfAWellFormedStart) {
    for (const std::uint16_t machine : {kMachineI386, kMachineAmd64, kMachineArm64, std::uint16_t{0x01C4}}) {
        EXPECT_EQ(ImageMachine(Image(machine)), machine) << machine;
    }
    // The new header may stand anywhere after the old one, up to the last six bytes read.
    EXPECT_EQ(ImageMachine(Image(kMachineI386, 0x40, 0x46)), kMachineI386);
    EXPECT_EQ(ImageMachine(Image(kMachineAmd64, 0xF8, 0x1000)), kMachineAmd64);
    EXPECT_EQ(ImageMachine(Image(kMachineAmd64, 0x3A, 0x100)), std::nullopt);  // overlaps e_lfanew itself
}

TEST(ImageMachine, AnythingElseIsUnknown) {
    struct Case {
        const char* what;
        std::function<Bytes()> bytes;
    };
    const Case cases[] = {
        {"no bytes", [] { return Bytes{}; }},
        {"only MZ",
         [] {
             return Bytes{'M', 'Z'};
         }},
        {"cut inside e_lfanew",
         [] {
             Bytes b = Image(kMachineI386);
             b.resize(0x3E);
             return b;
         }},
        {"no MZ",
         [] {
             Bytes b = Image(kMachineI386);
             b[0] = 'Z';
             return b;
         }},
        {"e_lfanew past the bytes read", [] { return Image(kMachineI386, 0x300, 0x200); }},
        {"e_lfanew at the very top", [] { return Image(kMachineI386, 0xFFFFFFFF); }},
        {"e_lfanew leaves no room for the machine",
         [] {
             Bytes b = Image(kMachineI386, 0x1FB);
             b[0x1FB] = 'P';
             b[0x1FC] = 'E';
             return b;
         }},
        {"signature PE without its zeros",
         [] {
             Bytes b = Image(kMachineI386);
             b[0x82] = 'x';
             return b;
         }},
        {"a 16-bit NE image",
         [] {
             Bytes b = Image(kMachineI386);
             b[0x80] = 'N';
             return b;
         }},
        {"a text file", [] { return Bytes(100, 'a'); }},
    };
    for (const Case& c : cases) EXPECT_EQ(ImageMachine(c.bytes()), std::nullopt) << c.what;
}

}  // namespace
}  // namespace tervalux
