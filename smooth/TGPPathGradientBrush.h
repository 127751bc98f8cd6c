#pragma once

#include "TGPBrush.h"
#include "path_gradient_raster.h"

class TGPGraphicsPath;

/// A gradient from a path's outline towards a centre point.
///
/// Fills only inside the brush's own path (wrap mode clamp). Colours come either from a centre
/// colour and one colour per path point, or from a preset blend over the distance from
/// outline (0) to centre (1), which then replaces them. The centre starts as the mean of the
/// path's points (a figure's final return to its first point counted once), every colour as
/// opaque white.
class TGPPathGradientBrush : public TGPBrush {
public:
    /// Takes a copy of the path's outline; later changes to path do not reach the brush.
    explicit TGPPathGradientBrush(const TGPGraphicsPath &path);

    GpStatus SetCenterColor(ARGB color);
    ARGB GetCenterColor() const { return FShape.centreColor; }
    /// Non-finite coordinates give InvalidParameter.
    GpStatus SetCenterPoint(const TGPPointF &point);
    TGPPointF GetCenterPoint() const;
    /// Number of points of the brush's path, control points included.
    int GetPointCount() const { return FPointCount; }
    /// Sets the colours of the first *count points; the last repeats for the rest. A path
    /// without points, a count below 1 or above the point count stores InvalidParameter and
    /// changes nothing.
    GpStatus SetSurroundColors(const ARGB *colors, int *count);
    /// Sets a preset blend of count colours at positions from 0 (outline) to 1 (centre). A
    /// count below 1, missing arrays or positions outside 0 to 1 or out of order store
    /// InvalidParameter and change nothing.
    GpStatus SetInterpolationColors(const ARGB *presetColors, const float *blendPositions,
                                    int count);
    /// Only clamp is offered (nothing outside the path); other modes give NotImplemented.
    GpStatus SetWrapMode(WrapMode wrapMode);

    void FillArea(QPainter &painter, const QPainterPath &area) const override;

protected:
    QBrush QtBrush(const QTransform &world) const override;

private:
    PathGradientShape FShape;
    int FPointCount = 0;
};
