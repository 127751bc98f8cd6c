#include "round_rect_path.h"

#include <QPainterPath>

#include <gtest/gtest.h>

#include <array>

namespace {

struct CornerCase {
    TFillRoundingType type;
    // Rounded: top-left, top-right, bottom-right, bottom-left.
    std::array<bool, 4> rounded;
};

} // namespace

TEST(RoundRectPath, EachTypeRoundsItsCornersAndKeepsTheOthersSharp) {
    const TGPRectF r{10, 20, 100, 50};
    const std::array<CornerCase, 6> cases{{
        {rtNone, {false, false, false, false}},
        {rtTop, {true, true, false, false}},
        {rtBottom, {false, false, true, true}},
        {rtBoth, {true, true, true, true}},
        {rtLeft, {true, false, false, true}},
        {rtRight, {false, true, true, false}},
    }};
    // Points one unit inside each corner: cut off by an arc of radius 8, kept by a sharp corner.
    const std::array<QPointF, 4> corners{QPointF(11, 21), QPointF(109, 21), QPointF(109, 69),
                                         QPointF(11, 69)};
    for (const CornerCase &c : cases) {
        const auto path = CreateRoundRectPath(r, 8, c.type);
        const QPainterPath outline = path->ToQPainterPath();
        EXPECT_EQ(outline.fillRule(), Qt::OddEvenFill);
        EXPECT_EQ(outline.boundingRect(), QRectF(10, 20, 100, 50)) << "type " << int(c.type);
        EXPECT_TRUE(outline.contains(QPointF(60, 45)));
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(outline.contains(corners[i]), !c.rounded[i])
                << "type " << int(c.type) << " corner " << i;
        // Each figure is closed, and each arc is a quarter turn that ends where the straight
        // side begins (no spike at a rounded corner).
        EXPECT_NE(path->Types().back() & TGPGraphicsPath::CloseSubpath, 0);
        EXPECT_TRUE(outline.contains(QPointF(10.5, 45)) && outline.contains(QPointF(60, 20.5)));
    }
}

TEST(RoundRectPath, ZeroRadiusIsThePlainRectangleAndALargeOneStillMakesAnOutline) {
    const TGPRectF r{0, 0, 40, 30};
    const auto plain = CreateRoundRectPath(r, 0, rtBoth);
    EXPECT_EQ(plain->LastStatus(), GpStatus::InvalidParameter) << "empty arcs add nothing";
    EXPECT_TRUE(plain->ToQPainterPath().contains(QPointF(0.25, 0.25)));
    EXPECT_EQ(plain->ToQPainterPath().boundingRect(), QRectF(0, 0, 40, 30));

    // Arcs of radius 40 on a 40 x 30 rectangle overlap and reach outside it, as drawn.
    const auto large = CreateRoundRectPath(r, 40, rtBoth);
    EXPECT_EQ(large->LastStatus(), GpStatus::Ok);
    EXPECT_GT(large->GetPointCount(), 12);
    EXPECT_GT(large->ToQPainterPath().boundingRect().height(), 30);
}
