#include "TGPGraphicsPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TGPPointF Last(const TGPGraphicsPath &path) {
    return path.Points().back();
}
TGPPointF First(const TGPGraphicsPath &path) {
    return path.Points().front();
}

} // namespace

TEST(PathArc, QuarterAnglesLandClockwiseOnTheEllipse) {
    struct Case {
        float start;
        TGPPointF from, to;
    };
    // Ellipse (0, 0, 100, 50): right (100, 25), bottom (50, 50), left (0, 25), top (50, 0).
    const Case cases[] = {{0, {100, 25}, {50, 50}},
                          {90, {50, 50}, {0, 25}},
                          {180, {0, 25}, {50, 0}},
                          {270, {50, 0}, {100, 25}}};
    for (const Case &c : cases) {
        TGPGraphicsPath path;
        ASSERT_EQ(path.AddArc(0, 0, 100, 50, c.start, 90), GpStatus::Ok);
        EXPECT_NEAR(First(path).X, c.from.X, 1e-3) << c.start;
        EXPECT_NEAR(First(path).Y, c.from.Y, 1e-3) << c.start;
        EXPECT_NEAR(Last(path).X, c.to.X, 1e-3) << c.start;
        EXPECT_NEAR(Last(path).Y, c.to.Y, 1e-3) << c.start;
    }
}

TEST(PathArc, AnglesAreGeometricOnAnEllipseAndNegativeSweepsRunBack) {
    TGPGraphicsPath path;
    path.AddArc(0, 0, 100, 50, 45, -45);
    // At 45 degrees the point lies on the diagonal through the centre (50, 25).
    const TGPPointF p = First(path);
    EXPECT_NEAR(p.X - 50, p.Y - 25, 1e-3);
    EXPECT_NEAR(Last(path).X, 100, 1e-3);
    EXPECT_NEAR(Last(path).Y, 25, 1e-3);
}

TEST(PathArc, FollowingSegmentsAreJoinedByStraightLines) {
    TGPGraphicsPath path;
    path.AddLine(0, 0, 10, 0);
    path.AddArc(20, 0, 10, 10, 270, 90);
    // Start, line end, join to the arc's start (25, 0), then one Bézier of three points.
    ASSERT_EQ(path.GetPointCount(), 6);
    EXPECT_EQ(path.Types()[2], TGPGraphicsPath::Line);
    EXPECT_NEAR(path.Points()[2].X, 25, 1e-4);
    EXPECT_NEAR(path.Points()[2].Y, 0, 1e-4);
    path.CloseFigure();
    EXPECT_NE(path.Types().back() & TGPGraphicsPath::CloseSubpath, 0);
}

TEST(PathEllipse, IsAClosedFigureOfFourBeziersFromTheRightmostPoint) {
    TGPGraphicsPath path;
    path.AddLine(0, 0, 1, 1);
    path.AddEllipse(10, 10, 40, 20);
    ASSERT_EQ(path.GetPointCount(), 2 + 13);
    EXPECT_EQ(path.Types()[2], TGPGraphicsPath::Start);
    EXPECT_NEAR(path.Points()[2].X, 50, 1e-4);
    EXPECT_NEAR(path.Points()[2].Y, 20, 1e-4);
    EXPECT_NE(path.Types().back() & TGPGraphicsPath::CloseSubpath, 0);
    // Flattened points stay on the ellipse within the flattening tolerance.
    for (const auto &fig : path.Flatten(0.25f))
        for (const TGPPointF &q : fig.points) {
            if (q.X < 5)
                continue; // the separate line
            const double r = std::hypot((q.X - 30) / 20.0, (q.Y - 20) / 10.0);
            EXPECT_NEAR(r, 1.0, 0.03);
        }
}

TEST(PathRectangle, EmptyRectanglesAddNothing) {
    TGPGraphicsPath path;
    EXPECT_EQ(path.AddRectangle({0, 0, 0, 5}), GpStatus::Ok);
    EXPECT_EQ(path.AddEllipse(0, 0, 5, -1), GpStatus::Ok);
    EXPECT_EQ(path.GetPointCount(), 0);
    EXPECT_TRUE(path.ToQPainterPath().isEmpty());
}
