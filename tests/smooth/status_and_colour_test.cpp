#include "TGPBrush.h"
#include "TGPGraphics.h"
#include "TGPGraphicsPath.h"
#include "TGPPathGradientBrush.h"
#include "TGPPen.h"
#include "color_conversion.h"
#include "gdiplus_lifetime.h"
#include "test_support.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(LastStatus, OkLeavesItAndAFailureStoresIt) {
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddArc(0, 0, 0, 10, 0, 90), GpStatus::InvalidParameter);
    EXPECT_EQ(path.LastStatus(), GpStatus::InvalidParameter);
    EXPECT_EQ(path.AddLine(0, 0, 10, 10), GpStatus::Ok);
    EXPECT_EQ(path.LastStatus(), GpStatus::InvalidParameter);
    EXPECT_EQ(path.GetPointCount(), 2);
}

TEST(LastStatus, SurroundColoursBeyondThePointCountStoreInvalidParameterAndSetNothing) {
    const TGPPointF one{5, 5};
    TGPGraphicsPath path;
    path.AddLines(&one, 1);
    TGPPathGradientBrush brush(path);
    ASSERT_EQ(brush.GetPointCount(), 1);
    const ARGB colours[2] = {0xFFFF0000, 0xFF00FF00};
    int count = 2;
    EXPECT_EQ(brush.SetSurroundColors(colours, &count), GpStatus::InvalidParameter);
    EXPECT_EQ(brush.LastStatus(), GpStatus::InvalidParameter);

    // Nothing was set: a one-colour call afterwards still succeeds and the centre is intact.
    count = 1;
    EXPECT_EQ(brush.SetSurroundColors(colours, &count), GpStatus::Ok);
    EXPECT_EQ(brush.GetCenterColor(), 0xFFFFFFFFu);
}

TEST(LastStatus, EmptyPresetBlendStoresInvalidParameter) {
    TGPGraphicsPath path;
    path.AddEllipse(0, 0, 10, 10);
    TGPPathGradientBrush brush(path);
    const ARGB colour = 0xFF000000;
    const float position = 0;
    EXPECT_EQ(brush.SetInterpolationColors(&colour, &position, 0), GpStatus::InvalidParameter);
    EXPECT_EQ(brush.LastStatus(), GpStatus::InvalidParameter);
    const float backwards[2] = {0.5f, 0.2f};
    const ARGB two[2] = {0, 0};
    EXPECT_EQ(brush.SetInterpolationColors(two, backwards, 2), GpStatus::InvalidParameter);
}

TEST(LastStatus, BadInputGivesAStatusNotACrash) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddLine(nan, 0, 1, 1), GpStatus::InvalidParameter);
    EXPECT_EQ(path.AddArc(0, 0, inf, 5, 0, 90), GpStatus::InvalidParameter);
    EXPECT_EQ(path.GetPointCount(), 0);

    TGPPen pen(0xFF000000, -2);
    EXPECT_FALSE(pen.HasHandle());
    EXPECT_EQ(pen.LastStatus(), GpStatus::InvalidParameter);

    const QImage canvas = DrawnOnWhite(10, 10, [&](TGPGraphics &g) {
        TGPSolidBrush brush(0xFF000000);
        EXPECT_EQ(g.FillRectangle(&brush, nan, 0, 5, 5), GpStatus::InvalidParameter);
        EXPECT_EQ(g.DrawLine(&pen, 0, 0, 5, 5), GpStatus::InvalidParameter);
        EXPECT_EQ(g.FillPath(&brush, &path), GpStatus::Ok); // an empty path fills nothing
        EXPECT_EQ(g.LastStatus(), GpStatus::InvalidParameter);
    });
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(255, 255, 255));
}

TEST(FillRectangle, ZeroSizeOrMissingPiecesDrawNothingAndReturnOk) {
    QImage canvas = WhiteCanvas(10, 10);
    TGPSolidBrush brush(0xFF000000);
    {
        QPainter painter(&canvas);
        TGPGraphics g(&painter);
        TGPHatchBrush noBrush(HatchStyleTotal, 0xFF000000, 0xFFFFFFFF);
        EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 0, 10), GpStatus::Ok);
        EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 10, 0), GpStatus::Ok);
        EXPECT_EQ(g.FillRectangle(nullptr, 0, 0, 10, 10), GpStatus::Ok);
        EXPECT_EQ(g.FillRectangle(&noBrush, 0, 0, 10, 10), GpStatus::Ok);
        EXPECT_EQ(g.LastStatus(), GpStatus::Ok);
    }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.pixel(x, y), qRgb(255, 255, 255));

    TGPGraphics noSurface(static_cast<QPainter *>(nullptr));
    EXPECT_EQ(noSurface.FillRectangle(&brush, 0, 0, 5, 5), GpStatus::Ok);
}

TEST(FillRectangle, IntegerRectangleCoversExactlyItsPixelsWithoutAntialiasing) {
    const QImage canvas = DrawnOnWhite(10, 10, [&](TGPGraphics &g) {
        TGPSolidBrush brush(0xFF000000);
        g.FillRectangle(&brush, 2, 3, 4, 5);
    });
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
            ASSERT_EQ(qRed(canvas.pixel(x, y)), inside ? 0 : 255) << x << "," << y;
        }
}

TEST(AliasedDrawing, LightsThePixelsWhoseCentresTheShapeCovers) {
    // Pixel row j is centred on y = j, as in antialiased drawing: a 1-unit pen along y = 5.6
    // covers 5.1 to 6.1, which holds only row 6's centre; a rectangle over y 5.3 to 10.3 holds
    // the centres of rows 6 to 10.
    const QImage canvas = DrawnOnWhite(20, 14, [&](TGPGraphics &g) {
        const TGPPen pen(0xFF000000, 1);
        g.DrawLine(&pen, 1.0f, 5.6f, 8.0f, 5.6f);
        const TGPSolidBrush brush(0xFF000000);
        g.FillRectangle(&brush, 12, 5.3f, 4, 5);
    });
    auto litRows = [&canvas](int x) {
        std::vector<int> rows;
        for (int y = 0; y < canvas.height(); ++y)
            if (qRed(canvas.pixel(x, y)) == 0)
                rows.push_back(y);
        return rows;
    };
    EXPECT_EQ(litRows(4), std::vector<int>{6});
    EXPECT_EQ(litRows(14), (std::vector<int>{6, 7, 8, 9, 10}));
}

TEST(SmoothingMode, PreviousModeCanBeReadBackAndRestored) {
    QImage canvas = WhiteCanvas(4, 4);
    QPainter painter(&canvas);
    TGPGraphics g(&painter);
    EXPECT_EQ(g.GetSmoothingMode(), SmoothingModeDefault);
    const SmoothingMode previous = g.GetSmoothingMode();
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    g.SetSmoothingMode(previous);
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    EXPECT_EQ(g.SetSmoothingMode(SmoothingMode(42)), GpStatus::InvalidParameter);
}

TEST(ColourConversion, PacksChannelsAndResolvesSystemColours) {
    EXPECT_EQ(MakeARGB(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(ColorToARGB(128, RGBColor(255, 204, 0)), 0x80FFCC00u);
    EXPECT_EQ(ColorToOpaqueARGB(clWhite), 0xFFFFFFFFu);
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(ColorToARGB(128, clBtnFace),
              MakeARGB(128, std::uint8_t(face.red()), std::uint8_t(face.green()),
                       std::uint8_t(face.blue())));
}

TEST(Lifetime, StartupChecksItsInputAndShutdownIgnoresStaleTokens) {
    std::uintptr_t token = 0;
    GdiplusStartupInput input;
    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), GpStatus::InvalidParameter);
    input.GdiplusVersion = 2;
    EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), GpStatus::UnsupportedGdiplusVersion);
    EXPECT_TRUE(GdiplusStarted()); // the test environment's start-up is live
    GdiplusShutdown(token + 12345);
    EXPECT_TRUE(GdiplusStarted());
}
