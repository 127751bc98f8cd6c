#include "progress_painting.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>

#include <climits>

namespace {

constexpr TColor DeepBlueTop = Rgb(0x6368AF);
constexpr TColor DeepBlueBody = Rgb(0x444AA0);

class ProgressPaint : public WidgetTest {};

TEST_F(ProgressPaint, NewBarIsHalfFullInDeepBlue) {
    TsuiProgressBar bar;
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(bar.size(), QSize(150, 12));
    EXPECT_EQ(bar.Text(), "50%");
    EXPECT_EQ(bar.Color(), 0x00E8E8E8u);
    EXPECT_EQ(bar.BorderColor(), clBlack);

    // Filled length 74 of 149: picture in columns 1 to 73, track from 74; rows 1 to 10 inside.
    const QImage withCaption = Render(bar);
    bar.SetShowCaption(false);
    const QImage image = Render(bar);
    EXPECT_NE(withCaption, image);
    for (const int x : {1, 30, 73}) {
        EXPECT_EQ(PixelAt(image, x, 1), DeepBlueTop) << x;
        EXPECT_EQ(PixelAt(image, x, 10), DeepBlueBody) << x;
    }
    for (const int x : {74, 120, 148})
        EXPECT_EQ(PixelAt(image, x, 5), 0x00E8E8E8u) << x;
    for (const int x : {0, 75, 149}) {
        EXPECT_EQ(PixelAt(image, x, 0), clBlack);
        EXPECT_EQ(PixelAt(image, x, 11), clBlack);
    }
}

TEST_F(ProgressPaint, SmartCaptionHidesOnlyAtMin) {
    TsuiProgressBar bar;
    bar.resize(150, 23);
    bar.SetMin(10);
    bar.SetPosition(10);
    bar.SetSmartShowCaption(true);
    const auto captionDrawn = [&bar] {
        const QImage with = Render(bar);
        bar.SetShowCaption(false);
        const QImage without = Render(bar);
        bar.SetShowCaption(true);
        return with != without;
    };
    EXPECT_FALSE(captionDrawn());
    bar.SetPosition(11);
    EXPECT_TRUE(captionDrawn());
}

TEST_F(ProgressPaint, VerticalBarGrowsFromTheBottomWithTheTurnedPictureAndNoCaption) {
    TsuiProgressBar bar;
    bar.resize(23, 150);
    bar.SetUIStyle(TsuiUIStyle::WinXP);
    bar.SetOrientation(suiVertical);
    // The 6 x 10 picture turned left: its top row becomes the left column.
    ASSERT_EQ(bar.Picture().Image().size(), QSize(10, 6));
    EXPECT_EQ(PixelAt(bar.Picture().Image(), 0, 3), Rgb(0xEAEAEA));
    EXPECT_EQ(PixelAt(bar.Picture().Image(), 1, 3), Rgb(0xABEDAC));

    // Filled length 74 of 149: picture rows 75 to 148, track rows 1 to 74.
    const QImage image = Render(bar);
    EXPECT_FALSE(bar.ShowCaption());
    EXPECT_EQ(PixelAt(image, 3, 100), Rgb(0xABEDAC));
    EXPECT_EQ(PixelAt(image, 11, 75), Rgb(0x2ED331));
    EXPECT_EQ(PixelAt(image, 11, 148), Rgb(0x2ED331));
    for (int y = 1; y <= 74; ++y)
        ASSERT_EQ(PixelAt(image, 11, y), bar.Color()) << "no caption, track at row " << y;
    EXPECT_EQ(PixelAt(image, 11, 149), bar.BorderColor());

    // Back and forth: the picture is reloaded, never turned twice.
    bar.SetOrientation(suiHorizontal);
    EXPECT_EQ(bar.Picture().Image().size(), QSize(6, 10));
    bar.SetOrientation(suiVertical);
    EXPECT_EQ(bar.Picture().Image().size(), QSize(10, 6));
}

TEST_F(ProgressPaint, VerticalPictureIsDrawnMirrored) {
    TsuiProgressBar bar;
    bar.resize(5, 20);
    bar.SetOrientation(suiVertical);
    QImage picture = Solid(1, 2, clRed);
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    bar.Picture().Assign(picture);
    bar.SetPosition(100);
    const QImage image = Render(bar);
    EXPECT_EQ(PixelAt(image, 2, 18), clRed) << "the picture's top row lands at the bottom";
    EXPECT_EQ(PixelAt(image, 2, 1), clBlue);
}

TEST_F(ProgressPaint, GrowsFromTheLeftInARightToLeftWindow) {
    QWidget leftToRight;
    QWidget rightToLeft;
    rightToLeft.setLayoutDirection(Qt::RightToLeft);
    TsuiProgressBar a(&leftToRight);
    TsuiProgressBar b(&rightToLeft);
    for (TsuiProgressBar *bar : {&a, &b}) {
        bar->resize(150, 23);
        bar->SetPosition(30);
    }
    const QImage image = Render(b);
    EXPECT_EQ(image, Render(a));
    EXPECT_EQ(PixelAt(image, 1, 5), DeepBlueBody);
}

TEST_F(ProgressPaint, MissingPicturePaintsTheTrackOnly) {
    TsuiProgressBar bar;
    bar.resize(40, 10);
    bar.Picture().Clear();
    bar.SetPosition(100);
    bar.SetShowCaption(false);
    EXPECT_EQ(Render(bar).copy(1, 1, 38, 8), Solid(38, 8, bar.Color()));
}

TEST_F(ProgressPaint, AnySizeAndRangePaints) {
    const std::int32_t values[] = {INT_MIN, -1, 0, 1, 100, INT_MAX};
    TsuiProgressBar bar;
    for (const QSize size :
         {QSize(0, 0), QSize(1, 1), QSize(1, 23), QSize(150, 1), QSize(2, 2), QSize(150, 23)}) {
        bar.resize(size);
        for (const TsuiProgressBarOrientation o : {suiHorizontal, suiVertical})
            for (const std::int32_t min : values)
                for (const std::int32_t max : values)
                    for (const std::int32_t position : values) {
                        bar.SetOrientation(o);
                        bar.SetShowCaption(true);
                        bar.SetMin(min);
                        bar.SetMax(max);
                        bar.SetPosition(position);
                        const QImage image = Render(bar);
                        if (!size.isEmpty()) {
                            ASSERT_EQ(PixelAt(image, 0, 0), bar.BorderColor());
                        }
                    }
    }
}

TEST_F(ProgressPaint, AtTwiceTheDensityTheCaptionIsSharpAndThePictureKeepsItsPixels) {
    // One picture row per track row, each of its own colour, so the plain paint shows every
    // picture pixel once.
    ProgressLook look;
    look.Picture = QImage(1, 21, QImage::Format_RGB32);
    for (int y = 0; y < 21; ++y)
        look.Picture.setPixel(0, y, qRgb(12 * y, 250 - 12 * y, 90));
    look.Color = clWhite;
    look.BorderColor = Rgb(0x686868);
    look.Text = QStringLiteral("50%");
    const QFont font = QGuiApplication::font();

    look.ShowCaption = false;
    QImage doubled = PaintProgressBar(look, {150, 23}, font).Canvas.scaled(300, 46);
    doubled.setDevicePixelRatio(2);
    EXPECT_EQ(PaintProgressBar(look, {150, 23}, font, 2).Canvas, doubled)
        << "frame, track and picture are the plain pixels, each doubled";

    // A doubled caption would be made of 2 x 2 blocks of one colour.
    look.ShowCaption = true;
    const QImage dense = PaintProgressBar(look, {150, 23}, font, 2).Canvas;
    int splitBlocks = 0;
    for (int y = 0; y < dense.height(); y += 2)
        for (int x = 0; x < dense.width(); x += 2) {
            const QRgb p = dense.pixel(x, y);
            if (dense.pixel(x + 1, y) != p || dense.pixel(x, y + 1) != p ||
                dense.pixel(x + 1, y + 1) != p)
                ++splitBlocks;
        }
    EXPECT_GT(splitBlocks, 20);
}

/// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

TEST_F(ProgressPaint, EverySetPaintsAtOnceWhenShownAndNeverWhenHidden) {
    TsuiProgressBar bar;
    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.SetPosition(10);
    EXPECT_EQ(counter.Paints, 0);

    bar.show();
    QApplication::processEvents();
    counter.Paints = 0;
    bar.SetPosition(10);
    bar.SetPosition(10);
    bar.SetCaptionColor(clBlack);
    EXPECT_EQ(counter.Paints, 3);
}

} // namespace
