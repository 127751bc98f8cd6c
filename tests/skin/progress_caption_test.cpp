#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class ProgressCaption : public WidgetTest {
protected:
    QString CaptionFor(std::int32_t min, std::int32_t max, std::int32_t position) {
        bar.SetMin(min);
        bar.SetMax(max);
        bar.SetPosition(position);
        return bar.Text();
    }

    TsuiProgressBar bar;
};

TEST_F(ProgressCaption, CutsTheFractionOffTowardZero) {
    EXPECT_EQ(CaptionFor(0, 3, 1), "33%");
    EXPECT_EQ(CaptionFor(0, 3, 2), "66%");
    EXPECT_EQ(CaptionFor(0, 3, -1), "-33%");
    // Every whole percentage of 0 to 100 shows as itself (53 and 59 are where a floating-point
    // quotient falls just short).
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(CaptionFor(0, 100, p), QString::number(p) + u'%');
    EXPECT_EQ(CaptionFor(0, 300, 159), "53%");
}

TEST_F(ProgressCaption, IsNeitherClampedNorCompared) {
    EXPECT_EQ(CaptionFor(0, 100, 150), "150%");
    EXPECT_EQ(CaptionFor(0, 100, -20), "-20%");
    EXPECT_EQ(CaptionFor(0, 0, 0), "0%");
    EXPECT_EQ(CaptionFor(7, 7, 100), "0%");
    EXPECT_EQ(CaptionFor(100, 0, 25), "75%");
}

TEST_F(ProgressCaption, ExtremeRangesGiveTheTruePercentage) {
    EXPECT_EQ(CaptionFor(INT_MIN, INT_MAX, 0), "50%");
    EXPECT_EQ(CaptionFor(INT_MIN, INT_MAX, INT_MAX), "100%");
    EXPECT_EQ(CaptionFor(INT_MIN, INT_MAX, INT_MIN), "0%");
    EXPECT_EQ(CaptionFor(0, 1, INT_MAX), "214748364700%");
    EXPECT_EQ(CaptionFor(0, 1, INT_MIN), "-214748364800%");
    EXPECT_EQ(CaptionFor(INT_MAX, INT_MIN, INT_MIN), "100%");
    EXPECT_EQ(CaptionFor(INT_MIN, INT_MIN, INT_MAX), "0%");
}

TEST_F(ProgressCaption, FilledLengthStaysWithinTheTrack) {
    CaptionFor(INT_MIN, INT_MAX, 0);
    EXPECT_EQ(bar.BarLength(149), 74);
    CaptionFor(INT_MIN, INT_MAX, INT_MAX - 1);
    EXPECT_EQ(bar.BarLength(149), 148);
    CaptionFor(0, 100, 150);
    EXPECT_EQ(bar.BarLength(149), 149);
    CaptionFor(100, 0, 50); // reversed
    EXPECT_EQ(bar.BarLength(149), 0);
}

TEST_F(ProgressCaption, ChangesOnlyWithTheRange) {
    CaptionFor(0, 4, 1);
    bar.SetUIStyle(TsuiUIStyle::WinXP);
    bar.SetOrientation(suiVertical);
    bar.SetColor(clWhite);
    bar.SetShowCaption(false);
    EXPECT_EQ(bar.Text(), "25%");
}

} // namespace
