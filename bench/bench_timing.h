#pragma once
// The clock and the summary the benchmarks share.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace tervalux::bench {

// Milliseconds on the performance counter.
inline double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

// The value below which the fraction q (0 to 1) of the values lie, between the two nearest when
// none lies exactly there; q = 0.5 is the median, 0 the least, 1 the greatest.
inline double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double place = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(place);
    if (below + 1 >= values.size()) return values.back();
    const double part = place - static_cast<double>(below);
    return values[below] + (values[below + 1] - values[below]) * part;
}

inline double Median(std::vector<double> values) {
    return Quantile(std::move(values), 0.5);
}

}  // namespace tervalux::bench
