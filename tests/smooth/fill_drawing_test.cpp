#include "TGDIPFill.h"
#include "TGPGraphics.h"
#include "fill_test_support.h"

#include <gtest/gtest.h>

namespace {

const QColor Background(189, 216, 244);

int Luma(const QImage &image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() + c.green() + c.blue();
}

bool Contains(const QImage &image, QColor colour, int tolerance = 2) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Near(image, x, y, colour, tolerance))
                return true;
    return false;
}

bool Equal(const TGPRectF &a, const TGPRectF &b) {
    return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

} // namespace

TEST(DrawFill, HeaderPanelFillHasBorderGammaGradientAndAFadingShadow) {
    TGDIPFill fill;
    ApplyHeaderFill(fill);
    const FillResult r = RenderFill(fill, {0, 0, 257, 42}, 258, 43, Background);
    EXPECT_TRUE(Equal(r.content, {0, 0, 252, 37}));

    const QColor border(96, 119, 107);
    EXPECT_TRUE(Near(r.image, 100, 0, border)) << "top edge on row 0";
    EXPECT_TRUE(Near(r.image, 252, 20, border)) << "right edge on column 252";
    EXPECT_TRUE(Near(r.image, 0, 20, border));
    EXPECT_TRUE(Near(r.image, 100, 37, border));

    // Light yellow (255, 255, 153) at the top to amber (255, 204, 0) at the bottom; the
    // gradient runs from y = -1 to y = 38 and blends in linear light.
    const QColor top = r.image.pixelColor(100, 2);
    const QColor middle = r.image.pixelColor(100, 18);
    const QColor bottom = r.image.pixelColor(100, 35);
    EXPECT_EQ(top.red(), 255);
    EXPECT_GE(top.green(), 250);
    EXPECT_NEAR(top.blue(), 148, 6);
    EXPECT_NEAR(middle.blue(), 113, 6) << "halfway is 78 without gamma correction";
    EXPECT_EQ(bottom.red(), 255);
    EXPECT_NEAR(bottom.green(), 209, 6);
    EXPECT_LE(bottom.blue(), 60);

    // The shadow shows right of and below the body, darkest inside, fading to nothing at the
    // outline (x = 257, y = 42).
    for (auto [x1, y1, x2, y2] : {std::array{254, 20, 256, 20}, std::array{100, 39, 100, 41}})
        EXPECT_LT(Luma(r.image, x1, y1), Luma(r.image, x2, y2));
    EXPECT_LT(Luma(r.image, 100, 39), Luma(r.image, 100, 42) - 60);
    EXPECT_TRUE(Near(r.image, 100, 42, Background, 12));
    EXPECT_TRUE(Near(r.image, 257, 20, Background, 12));
    const QColor shade = r.image.pixelColor(100, 39);
    EXPECT_TRUE(shade.red() < Background.red() && shade.blue() < Background.blue()) << "grey";
}

TEST(DrawFill, HeaderBorderCornersAreMirrorImagesAndHoldTheBodyInside) {
    TGDIPFill fill;
    ApplyHeaderFill(fill);
    const FillResult r = RenderFill(fill, {0, 0, 257, 42}, 258, 43, Background);
    // The border runs on columns 0 and 252 and rows 0 and 37.
    const QColor border(96, 119, 107);
    for (int y = 0; y <= 37; ++y)
        for (int x = 0; x <= 252; ++x) {
            const bool on = Near(r.image, x, y, border, 0);
            ASSERT_EQ(Near(r.image, 252 - x, y, border, 0), on) << x << "," << y;
            ASSERT_EQ(Near(r.image, x, 37 - y, border, 0), on) << x << "," << y;
        }
    // The corner's diagonal step is border, so no body shows outside the border.
    EXPECT_TRUE(Near(r.image, 251, 36, border, 0));
}

TEST(DrawFill, DefaultsFillExactlyTheRectangleWithAVerticalGradientFromSilverToGrey) {
    const TGDIPFill fill;
    const FillResult r = RenderFill(fill, {10, 10, 100, 50}, 120, 70);
    EXPECT_TRUE(Equal(r.content, {10, 10, 100, 50}));
    EXPECT_TRUE(Near(r.image, 9, 30, Qt::white) && Near(r.image, 110, 30, Qt::white));
    EXPECT_TRUE(Near(r.image, 50, 9, Qt::white) && Near(r.image, 50, 60, Qt::white));
    // The end points lie one unit outside: the first row is a little darker than silver and
    // the last a little lighter than grey.
    const int first = r.image.pixelColor(50, 10).red();
    const int last = r.image.pixelColor(50, 59).red();
    EXPECT_TRUE(first < 192 && first > 185) << first;
    EXPECT_TRUE(last > 128 && last < 140) << last;
    EXPECT_TRUE(Near(r.image, 10, 10, r.image.pixelColor(109, 10), 0)) << "no rounding";
}

TEST(DrawFill, MissingEndColourPaintsSolidStartColourForEveryKind) {
    for (int kind = gtSolid; kind <= gtNone; ++kind) {
        TGDIPFill fill;
        fill.SetColor(RGBColor(200, 40, 60));
        fill.SetColorTo(clNone);
        fill.SetGradientType(TAdvGradientType(kind));
        const FillResult r = RenderFill(fill, {0, 0, 60, 40}, 60, 40);
        for (auto [x, y] : {std::pair{0, 0}, {30, 1}, {30, 20}, {59, 39}})
            EXPECT_TRUE(Near(r.image, x, y, QColor(200, 40, 60)))
                << "kind " << kind << " at " << x << "," << y;
    }
}

TEST(DrawFill, MissingStartColourLeavesOnlyShadowMirrorAndBorder) {
    TGDIPFill fill;
    fill.SetColor(clNone);
    fill.SetColorMirror(clRed);
    fill.SetColorMirrorTo(clRed);
    fill.SetBorderColor(clBlue);
    fill.SetShadowOffset(4);
    const FillResult r = RenderFill(fill, {0, 0, 80, 60}, 80, 60);
    EXPECT_TRUE(Near(r.image, 40, 10, Qt::red, 40) == false);
    EXPECT_LT(Luma(r.image, 40, 10), 3 * 255) << "the shadow shows where the body would be";
    EXPECT_TRUE(Near(r.image, 40, 40, Qt::red));
    EXPECT_TRUE(Near(r.image, 40, 0, Qt::blue));
}

TEST(DrawFill, MirrorSplitsAtHalfHeightWithOverlapCornersAndSeam) {
    TGDIPFill fill;
    fill.SetColor(RGBColor(255, 255, 255));
    fill.SetColorTo(RGBColor(0, 0, 255));
    fill.SetColorMirror(RGBColor(255, 0, 0));
    fill.SetColorMirrorTo(RGBColor(0, 255, 0));
    fill.SetGradientMirrorType(gtVertical);
    fill.SetRounding(8);
    // The upper part is (0, 0, 100, 31), the lower one (0, 29, 100, 31).
    const FillResult r = RenderFill(fill, {0, 0, 100, 60}, 100, 60);
    EXPECT_TRUE(Near(r.image, 0, 0, Qt::white)) << "upper part rounds its top corners";
    EXPECT_TRUE(Near(r.image, 99, 59, Qt::white)) << "lower part rounds its bottom corners";
    EXPECT_FALSE(Near(r.image, 0, 28, Qt::white, 10)) << "the middle corners stay square";
    EXPECT_FALSE(Near(r.image, 0, 31, Qt::white, 10));
    for (int x : {0, 50, 99})
        EXPECT_TRUE(Near(r.image, x, 29, Qt::red, 1)) << "seam strip at " << x;
    EXPECT_GT(r.image.pixelColor(50, 28).blue(), r.image.pixelColor(50, 28).red())
        << "the upper part ends near its end colour under the strip";
    const QColor lowerEnd = r.image.pixelColor(50, 58);
    EXPECT_GT(lowerEnd.green(), 220);
    EXPECT_LT(lowerEnd.red(), 110);

    // A flat mirror part (the default kind) has no strip to show.
    fill.SetGradientMirrorType(gtSolid);
    const FillResult flat = RenderFill(fill, {0, 0, 100, 60}, 100, 60);
    for (int y : {30, 45, 57})
        EXPECT_TRUE(Near(flat.image, 50, y, Qt::red, 1)) << y;
}

TEST(DrawFill, RadialPartsGlowFromTheMiddleOfTheirOuterEdge) {
    TGDIPFill fill;
    fill.SetColor(clWhite);
    fill.SetColorTo(clRed);
    fill.SetGradientType(gtRadial);
    const FillResult main = RenderFill(fill, {0, 0, 100, 40}, 100, 40);
    EXPECT_TRUE(Near(main.image, 50, 0, Qt::red, 12)) << "end colour at the top centre";
    EXPECT_TRUE(Near(main.image, 1, 38, Qt::white)) << "start colour as the base";
    EXPECT_LT(main.image.pixelColor(50, 5).green(), main.image.pixelColor(50, 25).green());

    fill.SetColorMirror(clBlue);
    fill.SetColorMirrorTo(clLime);
    fill.SetGradientMirrorType(gtRadial);
    const FillResult both = RenderFill(fill, {0, 0, 100, 80}, 100, 80);
    EXPECT_TRUE(Near(both.image, 50, 79, Qt::blue, 12)) << "mirror start colour at bottom centre";
    EXPECT_TRUE(Near(both.image, 1, 41, Qt::green)) << "mirror end colour as its base";
    EXPECT_TRUE(Near(both.image, 50, 0, Qt::red, 12));
}

TEST(DrawFill, HatchAndTextureStayOnePartWhenAMirrorIsSet) {
    TGDIPFill fill;
    fill.SetColor(clBlack);
    fill.SetColorTo(clWhite);
    fill.SetGradientType(gtHatch);
    fill.SetHatchStyle(HatchStyleHorizontal);
    fill.SetColorMirror(clRed);
    fill.SetColorMirrorTo(clRed);
    fill.SetRounding(8);
    fill.SetBorderColor(clBlue);
    const QColor canvas(0, 128, 0);
    const FillResult r = RenderFill(fill, {0, 0, 100, 60}, 101, 61, canvas);
    EXPECT_FALSE(Contains(r.image, Qt::red)) << "no mirror part";
    EXPECT_TRUE(Near(r.image, 1, 1, canvas, 10)) << "top corners rounded";
    EXPECT_TRUE(Near(r.image, 1, 59, Qt::white) || Near(r.image, 1, 59, Qt::black))
        << "bottom corners square";
    EXPECT_TRUE(Near(r.image, 50, 8, Qt::black) && Near(r.image, 50, 9, Qt::white));
    // The border is rounded on all four corners over the square body.
    EXPECT_TRUE(Near(r.image, 50, 60, Qt::blue));
    EXPECT_FALSE(Near(r.image, 0, 60, Qt::blue, 40));

    // A tiled background picture is the body, anchored at the surface origin.
    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    tile.setPixelColor(1, 1, Qt::magenta);
    fill.SetGradientType(gtTexture);
    fill.SetBorderColor(clNone);
    fill.SetRounding(0);
    fill.BackGroundPicture().Assign(tile);
    fill.SetBackGroundPicturePosition(ppTiled);
    const FillResult tiled = RenderFill(fill, {5, 5, 40, 40}, 50, 50, canvas);
    for (int y = 5; y < 45; y += 7)
        for (int x = 5; x < 45; x += 5)
            EXPECT_TRUE(Near(tiled.image, x, y, tile.pixelColor(x % 3, y % 2))) << x << "," << y;
    EXPECT_TRUE(Near(tiled.image, 45, 20, canvas));
}

TEST(DrawFill, OneUnitHighOrWideRectangleIsOnlyABorderLine) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetColorTo(clRed);
    fill.SetShadowOffset(3);
    fill.SetBorderColor(clBlue);
    for (const TGPRectF rect : {TGPRectF{10, 20, 50, 1}, TGPRectF{30, 5, 1, 50}}) {
        const FillResult r = RenderFill(fill, rect, 70, 60);
        EXPECT_TRUE(Equal(r.content, rect)) << "no shadow step";
        EXPECT_FALSE(Contains(r.image, Qt::red));
        EXPECT_TRUE(Contains(r.image, Qt::blue));
        EXPECT_FALSE(Contains(r.image, QColor(128, 128, 128), 40)) << "no shadow";
    }
    fill.SetBorderColor(clNone);
    const FillResult none = RenderFill(fill, {10, 20, 50, 1}, 70, 60);
    EXPECT_FALSE(Contains(none.image, Qt::blue));
    EXPECT_FALSE(Contains(none.image, Qt::red));
}

TEST(DrawFill, ShadowShrinksTheContentOnlyWhenDrawn) {
    TGDIPFill fill;
    fill.SetShadowOffset(5);
    const FillResult shadowed = RenderFill(fill, {10, 10, 100, 40}, 120, 60);
    EXPECT_TRUE(Equal(shadowed.content, {10, 10, 95, 35}));
    EXPECT_LT(Luma(shadowed.image, 107, 30), 3 * 255) << "shadow band on the right";

    fill.SetShadowColor(clNone);
    const FillResult plain = RenderFill(fill, {10, 10, 100, 40}, 120, 60);
    EXPECT_TRUE(Equal(plain.content, {10, 10, 100, 40}));
    fill.SetShadowOffset(0);
    fill.SetShadowColor(clGray);
    EXPECT_TRUE(Equal(RenderFill(fill, {10, 10, 100, 40}, 120, 60).content, {10, 10, 100, 40}));
}

TEST(DrawFill, OnlyARoundedOutlineIsAntialiasedAndTheModeIsRestored) {
    TGDIPFill fill;
    fill.SetColor(clBlack);
    fill.SetColorTo(clNone);
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    auto edgeIsPartial = [&](SmoothingMode mode, int rounding) {
        image.fill(Qt::white);
        fill.SetRounding(rounding);
        QPainter painter(&image);
        TGPGraphics graphics(&painter);
        graphics.SetSmoothingMode(mode);
        fill.DrawFill(graphics, {5.0f, 5.0f, 20.0f, 20.4f});
        EXPECT_EQ(graphics.GetSmoothingMode(), mode);
        const int bottomRow = image.pixelColor(15, 25).red();
        return bottomRow > 20 && bottomRow < 235;
    };
    EXPECT_FALSE(edgeIsPartial(SmoothingModeDefault, 0));
    EXPECT_TRUE(edgeIsPartial(SmoothingModeAntiAlias, 0)) << "a plain rectangle keeps the mode";
    EXPECT_TRUE(edgeIsPartial(SmoothingModeDefault, 2));

    // A radius larger than half the height still paints.
    fill.SetRounding(30);
    const FillResult large = RenderFill(fill, {0, 0, 60, 20}, 60, 20);
    EXPECT_TRUE(Contains(large.image, Qt::black));
}

TEST(DrawFill, PathKindPaintsNoBody) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetColorTo(clBlue);
    fill.SetGradientType(gtPath);
    fill.SetBorderColor(clLime);
    const FillResult r = RenderFill(fill, {0, 0, 50, 30}, 51, 31);
    EXPECT_TRUE(Near(r.image, 25, 15, Qt::white));
    EXPECT_TRUE(Near(r.image, 25, 0, Qt::green));
}

TEST(DrawFill, OpacityArgumentsBelow255OverrideTheirPropertiesInOrder) {
    TGDIPFill fill;
    fill.SetColor(clRed);
    fill.SetColorTo(clRed);
    fill.SetColorMirror(clRed);
    fill.SetColorMirrorTo(clRed);
    fill.SetGradientMirrorType(gtVertical);
    fill.SetBorderColor(clBlue);
    QImage image(101, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        TGPGraphics graphics(&painter);
        // mirror-to, mirror, to, start, border
        fill.DrawFill(graphics, {0, 0, 100, 100}, 160, 60, 200, 40, 100);
    }
    auto alpha = [&](int x, int y) { return image.pixelColor(x, y).alpha(); };
    EXPECT_NEAR(alpha(50, 2), 49, 8);   // upper part near its start
    EXPECT_NEAR(alpha(50, 46), 182, 8); // and near its end
    EXPECT_NEAR(alpha(50, 52), 68, 8);  // lower part near its start
    EXPECT_NEAR(alpha(50, 96), 150, 8);
    EXPECT_EQ(alpha(100, 50), 100); // the border's right edge lies outside the body

    // 255 keeps a lower stored opacity; a lower argument lowers a stored 255.
    TGDIPFill solid;
    solid.SetColor(clRed);
    solid.SetColorTo(clNone);
    solid.SetOpacity(100);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        TGPGraphics graphics(&painter);
        solid.DrawFill(graphics, {0, 0, 10, 10});
        solid.SetOpacity(255);
        solid.DrawFill(graphics, {20, 0, 10, 10}, 255, 255, 255, 100, 255);
    }
    EXPECT_EQ(alpha(5, 5), 100);
    EXPECT_EQ(alpha(25, 5), 100);
}
