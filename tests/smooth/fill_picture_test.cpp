#include "fill_test_support.h"
#include "picture_placement.h"

#include <gtest/gtest.h>

#include <limits>

TEST(PicturePlacement, EveryPositionByTheTable) {
    const TRect area{10, 20, 110, 80}; // 100 x 60
    struct Case {
        TFillPicturePosition position;
        TRect expected;
    };
    const Case cases[] = {
        {ppTopLeft, {10, 20, 40, 40}},      {ppTopCenter, {45, 20, 75, 40}},
        {ppTopRight, {80, 20, 110, 40}},    {ppBottomLeft, {10, 60, 40, 80}},
        {ppBottomCenter, {45, 60, 75, 80}}, {ppBottomRight, {80, 60, 110, 80}},
        {ppStretched, {10, 20, 110, 80}},   {ppCenterLeft, {10, 40, 40, 60}},
        {ppCenterCenter, {45, 40, 75, 60}}, {ppCenterRight, {80, 40, 110, 60}},
        {ppCustom, {-3, 4, 27, 24}},
    };
    for (const Case &c : cases) {
        const auto placed = PicturePlacement(c.position, 30, 20, area, -3, 4);
        ASSERT_TRUE(placed.has_value()) << int(c.position);
        EXPECT_EQ(*placed, c.expected) << int(c.position);
    }
    EXPECT_FALSE(PicturePlacement(ppTiled, 30, 20, area, 0, 0).has_value());

    // Spare room that is odd or negative is halved toward zero: a picture 5 wider than its
    // area sticks out 2 on the left, 3 on the right.
    EXPECT_EQ(*PicturePlacement(ppCenterCenter, 105, 65, area, 0, 0), (TRect{8, 18, 113, 83}));
    // Far-out custom edges stop at the integer limits instead of wrapping.
    const int big = std::numeric_limits<int>::max();
    EXPECT_EQ(PicturePlacement(ppCustom, 30, 20, area, big, big)->Right, big);
}

namespace {

/// A fill whose foreground picture is a 6 x 4 block of green.
void UseGreenPicture(TGDIPFill &fill) {
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    fill.Picture().Assign(image);
    fill.SetColor(clWhite);
    fill.SetColorTo(clNone);
}

int CountGreen(const QImage &image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += Near(image, x, y, Qt::green) ? 1 : 0;
    return count;
}

} // namespace

TEST(FillPictures, CustomPlacementIsInSurfaceCoordinatesAndTiledForegroundDrawsNothing) {
    TGDIPFill fill;
    UseGreenPicture(fill);
    fill.SetPicturePosition(ppCustom);
    fill.SetPictureLeft(5);
    fill.SetPictureTop(6);
    const FillResult custom = RenderFill(fill, {30, 40, 50, 30}, 90, 80, Qt::black);
    EXPECT_TRUE(Near(custom.image, 5, 6, Qt::green) && Near(custom.image, 10, 9, Qt::green));
    EXPECT_EQ(CountGreen(custom.image), 24);

    fill.SetPicturePosition(ppTiled);
    EXPECT_EQ(CountGreen(RenderFill(fill, {30, 40, 50, 30}, 90, 80).image), 0);
}

TEST(FillPictures, PlacedInTheRoundedContentRectangleAtItsOwnOrCustomSize) {
    TGDIPFill fill;
    UseGreenPicture(fill);
    fill.SetBorderColor(clBlue);
    fill.SetShadowOffset(4);
    fill.SetPicturePosition(ppBottomRight);
    // After the shadow the content is (10.5, 10, 40, 30.5): PR = (10, 10, 50, 40), halves to even.
    const FillResult r = RenderFill(fill, {10.5f, 10, 44, 34.5f}, 70, 60);
    EXPECT_TRUE(Near(r.image, 49, 39, Qt::green) && Near(r.image, 44, 36, Qt::green));
    EXPECT_FALSE(Near(r.image, 43, 39, Qt::green));
    EXPECT_EQ(CountGreen(r.image), 24);

    fill.SetPictureSize(psCustom);
    fill.SetPictureWidth(12);
    fill.SetPictureHeight(8);
    EXPECT_EQ(CountGreen(RenderFill(fill, {10.5f, 10, 44, 34.5f}, 70, 60).image), 96);
}

TEST(FillPictures, BackgroundPictureIsPlacedOnlyForTheTextureKind) {
    TGDIPFill fill;
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    fill.BackGroundPicture().Assign(image);
    fill.SetBackGroundPicturePosition(ppCustom);
    fill.SetBackGroundPictureLeft(2);
    fill.SetBackGroundPictureTop(3);
    EXPECT_EQ(CountGreen(RenderFill(fill, {10, 10, 30, 30}, 50, 50).image), 0);
    fill.SetGradientType(gtTexture);
    const FillResult r = RenderFill(fill, {10, 10, 30, 30}, 50, 50);
    EXPECT_EQ(CountGreen(r.image), 24);
    EXPECT_TRUE(Near(r.image, 2, 3, Qt::green));
    EXPECT_TRUE(Near(r.image, 20, 20, Qt::white)) << "no tiled body unless ppTiled";
}
