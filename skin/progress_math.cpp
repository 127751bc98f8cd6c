#include "progress_math.h"

#include "rounding.h"

std::int64_t PercentDone(const ProgressRange &range) {
    if (range.Min == range.Max)
        return 0;
    // |Position - Min| < 2^32, so the product stays far below 2^63.
    const std::int64_t reached = std::int64_t(range.Position) - range.Min;
    const std::int64_t span = std::int64_t(range.Max) - range.Min;
    return TruncDiv(reached * 100, span);
}

std::int32_t BarLength(const ProgressRange &range, std::int32_t n) {
    if (range.Min >= range.Max || range.Min >= range.Position)
        return 0;
    if (range.Position > range.Max)
        return n;
    // Here 0 < reached <= span < 2^32 and |n| < 2^31, so the product fits in 64 bits.
    const std::int64_t reached = std::int64_t(range.Position) - range.Min;
    const std::int64_t span = std::int64_t(range.Max) - range.Min;
    return std::int32_t(TruncDiv(reached * n, span));
}
