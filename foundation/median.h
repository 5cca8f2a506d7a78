#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The middle value of `values`, or the mean of the middle two when their count is even; 0 when
// there are none.
inline double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}
