// libFuzzer target for the description readers: no input may crash them, read outside the bytes
// or trip the sanitizers, and a window description they accept must write back to the same bytes.
// Built and run by bench/fuzz.sh, outside the default build.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/project_description.h"
#include "runtime/window_description.h"
#include "tests/support/description_writers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const tervalux::rt::WindowDescription d = tervalux::rt::ReadWindowDescription(bytes);
        const auto written = tervalux::rt::WriteWindowDescription(d);
        if (written.size() != size || !std::equal(written.begin(), written.end(), data)) std::abort();
    } catch (const tervalux::rt::DescriptionError&) {
    }
    try {
        const tervalux::rt::ProjectDescription p = tervalux::rt::ReadProjectDescription(bytes);
        for (const auto& w : p.windows) {
            try {
                tervalux::rt::ReadWindow(bytes, p, w.id);
            } catch (const tervalux::rt::DescriptionError&) {
            }
        }
    } catch (const tervalux::rt::DescriptionError&) {
    }
    return 0;
}
