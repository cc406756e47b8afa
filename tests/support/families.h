#pragma once
// The seven family names by version code (0..6), as the probe names them, written once for every
// test that expects one.
#include <array>

namespace tervalux::testing {

inline constexpr std::array<const wchar_t*, 7> kFamilyNames = {
    L"Windows 32 Bits", L"Windows 95", L"Windows 98", L"Windows ME", L"Windows NT", L"Windows 2000", L"Windows XP",
};

}  // namespace tervalux::testing
