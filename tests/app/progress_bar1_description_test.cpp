#include "progress_bar1_description.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <vector>

namespace {

constexpr TColor Frame = 0x00686868;

/// The WinXP picture's rows, top to bottom, as toolkit colours (0x00BBGGRR).
const std::vector<TColor> PictureRows = {0xEAEAEA, 0xACEDAB, 0x7DE37B, 0x68DF66, 0x38D535,
                                         0x31D32E, 0x45D742, 0x77E275, 0x90E88F, 0xEAEAEA};

/// Makes the application object before any widget member is built.
struct ApplicationFirst {
    ApplicationFirst() {
        static int argc = 1;
        static char name[] = "progress_bar1_tests";
        static char *argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv); // lives until the test process ends
    }
};

class ProgressBar1 : public ::testing::Test, private ApplicationFirst {
protected:
    ProgressBar1() { ApplyProgressBar1Description(bar); }

    QImage RenderAt(int position, bool caption) {
        bar.SetPosition(position);
        bar.SetShowCaption(caption);
        return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static TColor At(const QImage &image, int x, int y) {
        const QRgb p = image.pixel(x, y);
        return RGBColor(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
    }

    /// Checks columns from..to on rows 1 to 21: the picture's rows stretched in order, or white.
    static void ExpectInterior(const QImage &image, int from, int to, bool picture) {
        for (int x = from; x <= to; ++x) {
            std::size_t row = 0;
            for (int y = 1; y <= 21; ++y) {
                const TColor c = At(image, x, y);
                if (!picture) {
                    ASSERT_EQ(c, clWhite) << x << "," << y;
                    continue;
                }
                while (row < PictureRows.size() && PictureRows[row] != c)
                    ++row;
                ASSERT_LT(row, PictureRows.size()) << "picture rows in order at " << x << "," << y;
            }
            if (picture) {
                EXPECT_EQ(At(image, x, 1), PictureRows.front());
                EXPECT_EQ(At(image, x, 11), PictureRows[5]);
                EXPECT_EQ(At(image, x, 21), PictureRows.back());
            }
        }
    }

    static void ExpectFrame(const QImage &image) {
        for (int x = 0; x < 150; ++x) {
            ASSERT_EQ(At(image, x, 0), Frame) << x;
            ASSERT_EQ(At(image, x, 22), Frame) << x;
        }
        for (int y = 0; y < 23; ++y) {
            ASSERT_EQ(At(image, 0, y), Frame) << y;
            ASSERT_EQ(At(image, 149, y), Frame) << y;
        }
    }

    TsuiProgressBar bar;
};

TEST_F(ProgressBar1, ExplicitValuesHoldOverTheStyle) {
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(bar.geometry(), QRect(100, 178, 150, 23));
    EXPECT_EQ(bar.Color(), clWhite);
    EXPECT_EQ(bar.BorderColor(), Frame);
    EXPECT_EQ(bar.CaptionColor(), clBlack);
    EXPECT_TRUE(bar.ShowCaption());
    EXPECT_FALSE(bar.SmartShowCaption());
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Text(), "0%");
    EXPECT_EQ(bar.Orientation(), suiHorizontal);
    const QImage &picture = bar.Picture().Image();
    ASSERT_EQ(picture.size(), QSize(6, 10));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(At(picture, 3, y), PictureRows[std::size_t(y)]) << y;
}

TEST_F(ProgressBar1, PaintsTheWorkedExamplePixelForPixel) {
    const QImage empty = RenderAt(0, false);
    ExpectFrame(empty);
    ExpectInterior(empty, 1, 148, false);

    const QImage half = RenderAt(50, false);
    ExpectFrame(half);
    ExpectInterior(half, 1, 73, true);
    ExpectInterior(half, 74, 148, false);

    const QImage full = RenderAt(100, false);
    ExpectFrame(full);
    ExpectInterior(full, 1, 148, true);
}

TEST_F(ProgressBar1, CaptionIsCentredOverPictureAndTrack) {
    const QImage bare = RenderAt(50, false);
    const QImage captioned = RenderAt(50, true);
    EXPECT_EQ(bar.Text(), "50%");
    int left = 150, right = -1, top = 23, bottom = -1;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 150; ++x)
            if (bare.pixel(x, y) != captioned.pixel(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left) << "a caption is drawn";
    EXPECT_LT(left, 74) << "over the picture";
    EXPECT_GT(right, 74) << "and over the track";
    EXPECT_NEAR((left + right) / 2.0, 74.5, 2.0);
    EXPECT_NEAR((top + bottom) / 2.0, 11.0, 3.0);
    EXPECT_GE(top, 1);
    EXPECT_LE(bottom, 21) << "the frame stays whole";
}

} // namespace
