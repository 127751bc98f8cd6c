#pragma once

#include "TGPBrush.h"

#include <QLinearGradient>

/// A two-colour linear gradient, tiled beyond its end points.
///
/// Colour 1 lies on the line through the start point, colour 2 on the line through the end
/// point, iso-colour lines are perpendicular to the direction. With gamma correction the
/// colours blend in linear light (gamma 2.2): black to white gives 186 halfway, not 128.
/// Non-finite coordinates, coincident points or an empty rectangle store InvalidParameter and
/// make no brush.
class TGPLinearGradientBrush : public TGPBrush {
public:
    /// Gradient from point1 (color1) to point2 (color2).
    TGPLinearGradientBrush(const TGPPointF &point1, const TGPPointF &point2, ARGB color1,
                           ARGB color2);
    /// Gradient over a rectangle: horizontal left to right, vertical top to bottom, forward
    /// diagonal from the top-left corner, backward diagonal from the top-right corner; the
    /// diagonals put their halfway line through the other two corners.
    TGPLinearGradientBrush(const TGPRectF &rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    /// Gradient over a rectangle at an angle in degrees clockwise from the x axis. A scalable
    /// angle is stretched with the rectangle, so 45 degrees runs corner to corner.
    TGPLinearGradientBrush(const TGPRectF &rect, ARGB color1, ARGB color2, float angle,
                           bool isAngleScalable);

    /// Tile repeats, the flip modes mirror; clamp is not offered by linear gradients and
    /// gives InvalidParameter.
    GpStatus SetWrapMode(WrapMode wrapMode);
    GpStatus SetGammaCorrection(bool useGammaCorrection);
    bool GetGammaCorrection() const { return FGamma; }
    /// The start and end points of the gradient line in surface units.
    TGPPointF StartPoint() const { return FStart; }
    TGPPointF EndPoint() const { return FEnd; }

protected:
    QBrush QtBrush(const QTransform &world) const override;

private:
    void InitFromRect(const TGPRectF &rect, double angleDegrees, bool scalable);

    TGPPointF FStart;
    TGPPointF FEnd;
    ARGB FColor1 = 0;
    ARGB FColor2 = 0;
    WrapMode FWrap = WrapModeTile;
    bool FGamma = false;
};
