#pragma once

#include <cmath>
#include <cstdint>

/// Rounds to the nearest integer, ties to the even neighbour (100.5 gives 100, 101.5 gives 102),
/// as the default floating-point rounding mode does.
inline long long RoundHalfEven(long double value) {
    return std::llrint(value);
}

/// Integer division truncating toward zero (-3 div 2 = -1), as C++ defines it; named so call
/// sites say which rule they rely on.
constexpr std::int64_t TruncDiv(std::int64_t numerator, std::int64_t denominator) {
    return numerator / denominator;
}

/// Truncates toward zero (2.7 gives 2, -2.7 gives -2).
inline long long Trunc(long double value) {
    return static_cast<long long>(std::trunc(value));
}
