#include "progress_bar1_description.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <algorithm>

namespace {

const QColor Frame(0x68, 0x68, 0x68);

/// The WinXP picture's rows, top to bottom.
const QRgb PictureRows[] = {0xEAEAEA, 0xABEDAC, 0x7BE37D, 0x66DF68, 0x35D538,
                            0x2ED331, 0x42D745, 0x75E277, 0x8FE890, 0xEAEAEA};

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

QImage Solid(int w, int h, const QColor &colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

/// The picture stretched from 10 to 21 rows, as wide as asked.
QImage StretchedPicture(int w) {
    QImage image(w, 21, QImage::Format_RGB32);
    // Each target row shows the source row under its centre: 0, 0, 1, 1, 1, 2, ... 9, 9.
    for (int y = 0; y < 21; ++y)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)), w,
                    0xFF000000 | PictureRows[(2 * y + 1) * 10 / 42]);
    return image;
}

class ProgressBar1 : public ::testing::Test, private ApplicationFirst {
protected:
    ProgressBar1() { ApplyProgressBar1Description(bar); }

    QImage RenderAt(int position, bool caption) {
        bar.SetPosition(position);
        bar.SetShowCaption(caption);
        const QImage image = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(image.copy(0, 0, 150, 1), Solid(150, 1, Frame));
        EXPECT_EQ(image.copy(0, 22, 150, 1), Solid(150, 1, Frame));
        EXPECT_EQ(image.copy(0, 0, 1, 23), Solid(1, 23, Frame));
        EXPECT_EQ(image.copy(149, 0, 1, 23), Solid(1, 23, Frame));
        return image;
    }

    TsuiProgressBar bar;
};

TEST_F(ProgressBar1, ExplicitValuesHoldOverTheStyle) {
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(bar.geometry(), QRect(100, 178, 150, 23));
    EXPECT_EQ(bar.Color(), clWhite);
    EXPECT_EQ(bar.BorderColor(), 0x00686868u);
    EXPECT_EQ(bar.CaptionColor(), clBlack);
    EXPECT_TRUE(bar.ShowCaption());
    EXPECT_FALSE(bar.SmartShowCaption());
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Text(), "0%");
    const QImage &picture = bar.Picture().Image();
    ASSERT_EQ(picture.size(), QSize(6, 10));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(picture.pixel(3, y), 0xFF000000 | PictureRows[y]) << y;
}

TEST_F(ProgressBar1, PaintsTheWorkedExamplePixelForPixel) {
    EXPECT_EQ(RenderAt(0, false).copy(1, 1, 148, 21), Solid(148, 21, Qt::white));
    const QImage half = RenderAt(50, false);
    EXPECT_EQ(half.copy(1, 1, 73, 21), StretchedPicture(73));
    EXPECT_EQ(half.copy(74, 1, 75, 21), Solid(75, 21, Qt::white));
    EXPECT_EQ(RenderAt(100, false).copy(1, 1, 148, 21), StretchedPicture(148));
}

TEST_F(ProgressBar1, CaptionIsCentredOverPictureAndTrack) {
    const QImage bare = RenderAt(50, false);
    const QImage captioned = RenderAt(50, true);
    int left = 150, right = -1, top = 23, bottom = -1;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 150; ++x)
            if (bare.pixel(x, y) != captioned.pixel(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_LT(left, 74) << "over the picture";
    EXPECT_GT(right, 74) << "and over the track";
    EXPECT_NEAR((left + right) / 2.0, 74.5, 2.0);
    EXPECT_NEAR((top + bottom) / 2.0, 11.0, 3.0);
}

} // namespace
