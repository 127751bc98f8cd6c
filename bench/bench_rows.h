#pragma once

// The benchmarks' common output: one `ROW name|median|min|max|target|pass` line per figure,
// which bench/run gathers into its table.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

/// The value below which `share` (0..1) of `values` lie; 0 for no values.
inline double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}

/// Prints one figure's row: the median, min and max of `values`, the target as text and whether
/// the median meets it.
inline void PrintRow(const std::string &name, const std::vector<double> &values,
                     const std::string &target, const std::function<bool(double)> &meets) {
    if (values.empty()) {
        std::printf("ROW %s|-|-|-|%s|no data\n", name.c_str(), target.c_str());
        return;
    }
    const double median = Percentile(values, 0.5);
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("ROW %s|%.3g|%.3g|%.3g|%s|%s\n", name.c_str(), median, *low, *high, target.c_str(),
                meets(median) ? "pass" : "FAIL");
    std::fflush(stdout);
}

} // namespace bench
