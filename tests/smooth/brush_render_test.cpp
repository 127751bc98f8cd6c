#include "TGPBrush.h"
#include "TGPGraphics.h"
#include "TGPLinearGradientBrush.h"
#include "TGPPathGradientBrush.h"
#include "hatch_patterns.h"
#include "test_support.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

/// Where point p falls along the gradient line of brush (0 at the start, 1 at the end).
double Along(const TGPLinearGradientBrush &brush, double px, double py) {
    const double dx = brush.EndPoint().X - brush.StartPoint().X;
    const double dy = brush.EndPoint().Y - brush.StartPoint().Y;
    return ((px - brush.StartPoint().X) * dx + (py - brush.StartPoint().Y) * dy) /
           (dx * dx + dy * dy);
}

} // namespace

TEST(HatchBrush, EveryPatternMatchesItsTableAndIsAnchoredAtTheDeviceOrigin) {
    for (int style = 0; style < HatchStyleTotal; ++style) {
        const QImage canvas = DrawnOnWhite(24, 24, [&](TGPGraphics &g) {
            TGPHatchBrush brush(style, 0xFF000000, 0xFFFFFFFF);
            ASSERT_TRUE(brush.HasHandle());
            g.FillRectangle(&brush, 3, 5, 17, 13); // an odd offset must not move the pattern
        });
        const auto &rows = HatchPatternRows(HatchStyle(style));
        for (int y = 5; y < 18; ++y)
            for (int x = 3; x < 20; ++x) {
                const bool set = (rows[y % 8] & (0x80 >> (x % 8))) != 0;
                ASSERT_EQ(qRed(canvas.pixel(x, y)), set ? 0 : 255)
                    << "style " << style << " at " << x << "," << y;
            }
    }
}

TEST(HatchBrush, StylesOutsideTheTableMakeNoBrush) {
    for (int style : {-1, int(HatchStyleTotal), 1000}) {
        TGPHatchBrush brush(style, 0xFF000000, 0xFFFFFFFF);
        EXPECT_FALSE(brush.HasHandle());
        EXPECT_EQ(brush.LastStatus(), GpStatus::InvalidParameter);
    }
}

TEST(LinearGradient, ModesStartOnTheirSideAndDiagonalsHalveThroughTheOtherCorners) {
    const TGPRectF r{10, 10, 200, 50};
    const TGPLinearGradientBrush horizontal(r, 0, 0, LinearGradientModeHorizontal);
    EXPECT_NEAR(horizontal.StartPoint().X, 10, 1e-3);
    EXPECT_NEAR(horizontal.EndPoint().X, 210, 1e-3);
    EXPECT_NEAR(horizontal.EndPoint().Y, 10, 1e-3);

    const TGPLinearGradientBrush vertical(r, 0, 0, LinearGradientModeVertical);
    EXPECT_NEAR(vertical.StartPoint().Y, 10, 1e-3);
    EXPECT_NEAR(vertical.EndPoint().Y, 60, 1e-3);
    EXPECT_NEAR(vertical.EndPoint().X, vertical.StartPoint().X, 1e-3);

    const TGPLinearGradientBrush forward(r, 0, 0, LinearGradientModeForwardDiagonal);
    EXPECT_NEAR(Along(forward, 10, 10), 0, 1e-4);
    EXPECT_NEAR(Along(forward, 210, 60), 1, 1e-4);
    EXPECT_NEAR(Along(forward, 210, 10), 0.5, 1e-4);
    EXPECT_NEAR(Along(forward, 10, 60), 0.5, 1e-4);

    const TGPLinearGradientBrush backward(r, 0, 0, LinearGradientModeBackwardDiagonal);
    EXPECT_NEAR(Along(backward, 210, 10), 0, 1e-4);
    EXPECT_NEAR(Along(backward, 10, 60), 1, 1e-4);
    EXPECT_NEAR(Along(backward, 10, 10), 0.5, 1e-4);
}

TEST(LinearGradient, ScalableAngleStretchesWithTheRectangle) {
    const TGPRectF r{10, 10, 200, 50};
    const TGPLinearGradientBrush scaled(r, 0, 0, 45.0f, true);
    EXPECT_NEAR(Along(scaled, 210, 10), 0.5, 1e-4);
    EXPECT_NEAR(Along(scaled, 10, 60), 0.5, 1e-4);
    const TGPLinearGradientBrush plain(r, 0, 0, 45.0f, false);
    EXPECT_GT(std::abs(Along(plain, 210, 10) - 0.5), 0.1);
    // 100 degrees lies past the vertical: the gradient starts at the top-right corner.
    const TGPLinearGradientBrush steep(r, 0, 0, 100.0f, true);
    EXPECT_NEAR(Along(steep, 210, 10), 0, 1e-4);
    EXPECT_NEAR(Along(steep, 10, 60), 1, 1e-4);
}

TEST(LinearGradient, GammaCorrectionBrightensTheMidpoint) {
    auto midpoint = [](bool gamma) {
        const QImage canvas = DrawnOnWhite(256, 1, [&](TGPGraphics &g) {
            TGPLinearGradientBrush brush(TGPRectF{0, 0, 256, 1}, 0xFF000000, 0xFFFFFFFF,
                                         LinearGradientModeHorizontal);
            brush.SetGammaCorrection(gamma);
            g.FillRectangle(&brush, 0, 0, 256, 1);
        });
        return std::pair{qRed(canvas.pixel(128, 0)), qRed(canvas.pixel(255, 0))};
    };
    const auto [plainMid, plainEnd] = midpoint(false);
    const auto [gammaMid, gammaEnd] = midpoint(true);
    EXPECT_NEAR(plainMid, 128, 2);
    EXPECT_NEAR(gammaMid, 186, 2); // (0.5 ^ (1 / 2.2)) * 255
    EXPECT_GE(plainEnd, 253);
    EXPECT_GE(gammaEnd, 253);
}

TEST(PathGradient, ShadowBlendOnARoundedRectangle) {
    // The panel's shadow: rounded outline of (0, 0, 257, 42), transparent at the outline,
    // alpha 180 grey from 10 % inwards to the centre.
    TGPGraphicsPath path;
    AddRoundRect(path, 0, 0, 257, 42, 3);
    TGPPathGradientBrush brush(path);
    brush.SetWrapMode(WrapModeClamp);
    brush.SetCenterPoint({128.5f, 21});
    const ARGB colours[3] = {0x00000000, 0xB4808080, 0xB4808080};
    const float positions[3] = {0, 0.1f, 1};
    ASSERT_EQ(brush.SetInterpolationColors(colours, positions, 3), GpStatus::Ok);

    const QImage canvas = DrawnOnWhite(
        270, 50, [&](TGPGraphics &g) { ASSERT_EQ(g.FillPath(&brush, &path), GpStatus::Ok); });
    const int full = 255 - (127 * 180 + 127) / 255; // grey at alpha 180 over white
    EXPECT_NEAR(qRed(canvas.pixel(128, 21)), full, 2);
    EXPECT_NEAR(qRed(canvas.pixel(20, 21)), full, 2); // past the 10 % band at the side
    EXPECT_NEAR(qRed(canvas.pixel(128, 4)), full, 2); // past the band at the top
    EXPECT_NEAR(qRed(canvas.pixel(0, 21)), 255, 1);   // on the outline: transparent
    EXPECT_NEAR(qRed(canvas.pixel(128, 0)), 255, 1);
    // Inside the band the alpha grows with the distance from the outline: 6 of 128.5 px.
    const int expected = 255 - int(std::lround(127 * (180 * (6 / 128.5) / 0.1) / 255));
    EXPECT_NEAR(qRed(canvas.pixel(6, 21)), expected, 4);
    for (const auto &[x, y] : {std::pair{258, 21}, {128, 43}, {265, 45}, {0, 0}})
        EXPECT_EQ(canvas.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(PathGradient, CentreStartsMidwayInARoundedOutlineThatEndsWhereItBegan) {
    // The outline's last line returns to its first point; counted twice it would pull the
    // centre to (120.94, 19.94) and make the shadow's ramp uneven.
    TGPGraphicsPath path;
    AddRoundRect(path, 0, 0, 257, 42, 3);
    const TGPPathGradientBrush brush(path);
    EXPECT_FLOAT_EQ(brush.GetCenterPoint().X, 128.5f);
    EXPECT_FLOAT_EQ(brush.GetCenterPoint().Y, 21.0f);
}

TEST(PathGradient, CentreAndSurroundColoursOfAnEllipse) {
    TGPGraphicsPath path;
    path.AddEllipse(0, 0, 100, 40);
    TGPPathGradientBrush brush(path);
    brush.SetCenterPoint({50, 20});
    brush.SetCenterColor(0xFFFF0000);
    const ARGB blue = 0xFF0000FF;
    int one = 1;
    brush.SetSurroundColors(&blue, &one);
    const QImage canvas =
        DrawnOnWhite(100, 40, [&](TGPGraphics &g) { g.FillRectangle(&brush, 0, 0, 100, 40); });
    const QRgb centre = canvas.pixel(50, 20);
    EXPECT_GE(qRed(centre), 250);
    EXPECT_LE(qBlue(centre), 5);
    const QRgb halfway = canvas.pixel(75, 20); // t = 0.5 on the horizontal axis
    EXPECT_NEAR(qRed(halfway), 128, 4);
    EXPECT_NEAR(qBlue(halfway), 128, 4);
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 255, 255)); // outside the ellipse
}
