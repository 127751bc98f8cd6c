#pragma once

#include "TGdiplusBase.h"

#include <QPen>

/// A pen for stroking lines and outlines, centred on the geometry, with flat caps and mitred
/// joins.
///
/// Width is in surface units; 0 draws the thinnest visible line. A negative or non-finite
/// width, or a unit other than world or pixel, stores InvalidParameter and makes no pen.
class TGPPen : public TGdiplusBase {
public:
    TGPPen(ARGB color, float width = 1.0f, Unit unit = UnitWorld);

    /// True when the pen was made.
    bool HasHandle() const { return FHasHandle; }
    /// Sets a dash pattern; values outside solid to dash-dot-dot give InvalidParameter.
    GpStatus SetDashStyle(DashStyle dashStyle);
    DashStyle GetDashStyle() const { return FDash; }
    float GetWidth() const { return float(FPen.widthF()); }
    ARGB GetColor() const { return FPen.color().rgba(); }
    /// The pen for QPainter.
    const QPen &QtPen() const { return FPen; }

private:
    QPen FPen;
    DashStyle FDash = DashStyleSolid;
    bool FHasHandle = false;
};
