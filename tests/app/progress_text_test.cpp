// The bottom bar's texts and the progress bar's range for scripted progress events.
#include "form_harness.h"
#include "header_controls.h"
#include "progress_text.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

const QChar kPoint = QLatin1Char('.');

TEST(ProgressTexts, ShowSecondsAndSpeedWithTwoDecimalsAndTheFullCount) {
    // 12345 bytes in 999 + 1 ms: 12.345 bytes per ms, 1.00 s.
    ProgressTexts texts = FormatProgressTexts(5000, 5999, 12345, kPoint);
    EXPECT_EQ(texts.Status, QStringLiteral("1.00 s|12.35 KB/s"));
    EXPECT_EQ(texts.Count, QStringLiteral("12345"));

    // A long, fast transfer: no thousands separator, and the locale's decimal separator.
    texts = FormatProgressTexts(0, 99'999, 4'000'000'000LL, QLatin1Char(','));
    EXPECT_EQ(texts.Status, QStringLiteral("100,00 s|40000,00 KB/s"));
    EXPECT_EQ(texts.Count, QStringLiteral("4000000000"));

    // The seconds come from the speed rounded to a 32-bit float: 1000 bytes in 3 ms.
    texts = FormatProgressTexts(10, 12, 1000, kPoint);
    EXPECT_EQ(texts.Status, QStringLiteral("0.00 s|333.33 KB/s"));
}

TEST(ProgressTexts, NothingReceivedYetReadsAsZeroTimeAtZeroSpeed) {
    const ProgressTexts texts = FormatProgressTexts(700, 900, 0, kPoint);
    EXPECT_EQ(texts.Status, QStringLiteral("0.00 s|0.00 KB/s"));
    EXPECT_EQ(texts.Count, QStringLiteral("0"));
}

TEST(ProgressTexts, AWrappedTickCounterStillGivesTheTrueElapsedTime) {
    // Started 500 ms before the 32-bit counter wrapped, read 1499 ms after it: 2000 ms.
    const ProgressTexts texts = FormatProgressTexts(0xFFFFFFFFu - 499, 1499, 2000, kPoint);
    EXPECT_EQ(texts.Status, QStringLiteral("2.00 s|1.00 KB/s"));
}

TEST(ProgressScale, KeepsThePercentageRightForLengthsBeyondThirtyOneBits) {
    const std::int64_t huge = 6'000'000'000LL;
    const ProgressScale scale(huge);
    EXPECT_LE(scale.Max(), std::numeric_limits<std::int32_t>::max());
    EXPECT_GT(scale.Max(), std::numeric_limits<std::int32_t>::max() / 2);
    EXPECT_EQ(scale.Position(huge), scale.Max());
    EXPECT_EQ(scale.Position(huge / 2), scale.Max() / 2);
    EXPECT_EQ(scale.Position(0), 0);

    // Within 31 bits the counts pass unchanged; an unknown length keeps the bar at 0.
    EXPECT_EQ(ProgressScale(5'000'000).Max(), 5'000'000);
    EXPECT_EQ(ProgressScale(5'000'000).Position(1234), 1234);
    EXPECT_EQ(ProgressScale(0).Max(), 0);
    EXPECT_EQ(ProgressScale(0).Position(1'000'000), 0);
}

TEST(DownloadProgressBar, ShowsTheWholePercentageWithoutOverflowing) {
    harness::EnsureApplication();
    std::unique_ptr<TProgressBarControl> owner(CreateDownloadProgressBar(nullptr));
    TProgressBarControl &bar = *owner;
    EXPECT_EQ(bar.Text(), QStringLiteral("0%"));
    bar.SetPosition(57);
    EXPECT_EQ(bar.Text(), QStringLiteral("57%"));
    bar.SetMax(0);
    bar.SetPosition(0);
    EXPECT_EQ(bar.Text(), QStringLiteral("0%"));
    bar.SetMin(std::numeric_limits<std::int32_t>::min());
    bar.SetMax(std::numeric_limits<std::int32_t>::max());
    bar.SetPosition(std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(bar.Text(), QStringLiteral("100%"));
    bar.SetPosition(0);
    EXPECT_EQ(bar.Text(), QStringLiteral("50%"));
}

} // namespace
