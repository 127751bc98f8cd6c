#pragma once

#include <QChar>
#include <QString>

#include <cstdint>

/// The two texts the bottom bar shows for one progress event.
struct ProgressTexts {
    /// Elapsed seconds and average speed: "3.50 s|12.35 KB/s".
    QString Status;
    /// Bytes received so far, as a plain decimal integer.
    QString Count;
};

/// Formats the texts for `count` bytes received, of which the ones after `startCount` arrived
/// between the ticks `startTick` and `nowTick`.
///
/// The count text shows all `count` bytes; the speed and the seconds only this attempt's
/// (`count - startCount`), so a download continued from a kept partial file is not credited with
/// the bytes an earlier attempt fetched.
///
/// The elapsed time is `nowTick - startTick + 1` milliseconds in unsigned 32-bit arithmetic (so a
/// wrapped tick counter still gives the true difference, and the time is never zero). The speed
/// is bytes per millisecond (shown as KB/s, 1 KB = 1000 bytes), rounded to a 32-bit float; the
/// seconds are derived from that rounded speed. Both numbers have exactly two decimals, the given
/// decimal separator and no thousands separator. A count of 0 shows "0.00 s|0.00 KB/s".
ProgressTexts FormatProgressTexts(std::uint32_t startTick, std::uint32_t nowTick,
                                  std::int64_t count, QChar decimalPoint,
                                  std::int64_t startCount = 0);

/// The decimal separator of the user's locale (the digits stay ASCII).
QChar LocaleDecimalPoint();

/// How a transfer's byte counts map onto the progress bar's 32-bit range.
///
/// A length above 2147483647 bytes is scaled down by a power of two so that the percentage stays
/// right; an unknown length (0) leaves the bar at 0 %.
class ProgressScale {
public:
    /// The scale for a transfer that announced `countMax` bytes (0 when unknown).
    explicit ProgressScale(std::int64_t countMax = 0);

    /// The progress bar's maximum.
    std::int32_t Max() const { return max_; }
    /// The progress bar's position for `count` bytes, within 0 to Max().
    std::int32_t Position(std::int64_t count) const;

private:
    int shift_ = 0;
    std::int32_t max_ = 0;
};
