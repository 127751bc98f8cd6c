#include "progress_text.h"

#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

QString TwoDecimals(long double value, QChar decimalPoint) {
    QString text = QString::number(static_cast<double>(value), 'f', 2);
    text.replace(QLatin1Char('.'), decimalPoint);
    return text;
}

} // namespace

ProgressTexts FormatProgressTexts(std::uint32_t startTick, std::uint32_t nowTick,
                                  std::int64_t count, QChar decimalPoint, std::int64_t startCount) {
    const std::uint32_t elapsed = nowTick - startTick + 1u;
    const std::int64_t attempt = std::max<std::int64_t>(count - startCount, 0);
    // Bytes per millisecond, divided in extended precision and kept as a 32-bit float.
    const float rate = static_cast<float>(static_cast<long double>(attempt) / elapsed);
    // 0 / 0 would be NaN: nothing received yet reads as no time at no speed.
    const long double seconds =
        rate == 0.0f ? 0.0L : (static_cast<long double>(attempt) / 1000.0L) / rate;
    ProgressTexts texts;
    texts.Status = TwoDecimals(seconds, decimalPoint) + QStringLiteral(" s|") +
                   TwoDecimals(rate, decimalPoint) + QStringLiteral(" KB/s");
    texts.Count = QString::number(count);
    return texts;
}

QChar LocaleDecimalPoint() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.front() : QLatin1Char('.');
}

ProgressScale::ProgressScale(std::int64_t countMax) {
    if (countMax <= 0)
        return;
    while ((countMax >> shift_) > std::numeric_limits<std::int32_t>::max())
        ++shift_;
    max_ = static_cast<std::int32_t>(countMax >> shift_);
}

std::int32_t ProgressScale::Position(std::int64_t count) const {
    if (count <= 0)
        return 0;
    return static_cast<std::int32_t>(std::min<std::int64_t>(count >> shift_, max_));
}
