#pragma once

#include <cstdint>

/// Range and position of a progress bar; no combination is invalid.
struct ProgressRange {
    std::int32_t Min = 0;
    std::int32_t Max = 100;
    std::int32_t Position = 50;
};

/// The whole percentage of the range reached, truncated toward zero; 0 when Min equals Max.
///
/// Not clamped: past Max it exceeds 100, below Min it is negative, and a reversed range gives
/// what the ratio gives. Exact integer arithmetic in 64 bits, so every 32-bit combination gives
/// the true percentage (which may then exceed 32 bits).
std::int64_t PercentDone(const ProgressRange &range);

/// The filled part, in pixels, of a track n pixels long: 0 for an empty or reversed range or a
/// position at or below Min, n past Max, otherwise the reached share of n truncated toward zero.
std::int32_t BarLength(const ProgressRange &range, std::int32_t n);
