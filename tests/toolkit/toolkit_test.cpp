#include "TColor.h"
#include "TFont.h"
#include "rounding.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPalette>

namespace {

class ToolkitTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "toolkit_tests";
        static char *argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            app_ = new QGuiApplication(argc, argv);
    }
    static inline QGuiApplication *app_ = nullptr;
};

TEST_F(ToolkitTest, PlainColoursAndNonePassUnchanged) {
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(0x00F4D8BD), 0x00F4D8BDu);
    EXPECT_EQ(ColorToRGB(clSilver), 0x00C0C0C0u);
    EXPECT_EQ(RGBColor(189, 216, 244), 0x00F4D8BDu);
    EXPECT_FALSE(IsSystemColor(clNone));
}

TEST_F(ToolkitTest, SystemColoursFollowTheCurrentPalette) {
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(200, 100, 50));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ColorToRGB(clWindowText), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(200, 100, 50));

    palette.setColor(QPalette::WindowText, QColor(9, 8, 7));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ColorToRGB(clWindowText), RGBColor(9, 8, 7));
}

TEST_F(ToolkitTest, FontHeightSignRule) {
    TFont font;
    font.Height = -16;
    EXPECT_EQ(font.SizeInPoints(), 12);
    EXPECT_EQ(font.ToQFont().pixelSize(), 16);

    // A positive height is the cell; the em chosen for it is smaller, and its cell is close.
    font.Height = 20;
    const QFont cellSized = font.ToQFont();
    EXPECT_LT(cellSized.pixelSize(), 20);
    const QFontMetricsF metrics(cellSized);
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), 20.0, 2.5);

    font.Style.Bold = true;
    font.Style.StrikeOut = true;
    EXPECT_TRUE(font.ToQFont().bold());
    EXPECT_TRUE(font.ToQFont().strikeOut());
    EXPECT_FALSE(font.ToQFont().italic());
}

TEST(Rounding, HalfEvenAndTruncation) {
    EXPECT_EQ(RoundHalfEven(100.5), 100);
    EXPECT_EQ(RoundHalfEven(101.5), 102);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(TruncDiv(-3, 2), -1);
    EXPECT_EQ(TruncDiv(3, -2), -1);
    EXPECT_EQ(TruncDiv(7, 2), 3);
    EXPECT_EQ(Trunc(-2.7L), -2);
}

} // namespace
