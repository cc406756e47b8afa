// libFuzzer target: the image machine reader meets any bytes without reading past them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pe_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t head = size < tervalux::kImageHeadBytes ? size : tervalux::kImageHeadBytes;
    (void)tervalux::ImageMachine(std::span<const std::uint8_t>(data, head));
    return 0;
}
