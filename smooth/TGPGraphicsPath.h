#pragma once

#include "TGdiplusBase.h"

#include <QPainterPath>

#include <cstdint>
#include <vector>

/// A path of figures made of lines and cubic Béziers, in surface units.
///
/// Points are kept as the flat drawing interface keeps them: every point has a type (start of
/// a figure, line end, Bézier point) and a figure may be closed. Arcs and ellipses become
/// Béziers, so GetPointCount counts their control points too. A segment that does not begin
/// where the open figure ends is joined to it by a straight line. Non-finite coordinates are
/// rejected with InvalidParameter and add nothing.
class TGPGraphicsPath : public TGdiplusBase {
public:
    /// Type byte of a path point.
    enum PointType : std::uint8_t { Start = 0, Line = 1, Bezier = 3, CloseSubpath = 0x80 };

    /// A flattened outline: points in surface units with each point's position along the
    /// original point indices (3.5 = halfway between point 3 and point 4).
    struct FlatFigure {
        std::vector<TGPPointF> points;
        std::vector<float> sourceIndex;
    };

    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);

    /// Adds a line from (x1, y1) to (x2, y2) to the open figure.
    GpStatus AddLine(float x1, float y1, float x2, float y2);
    /// Adds a polyline; one point alone starts or extends a figure with that point.
    GpStatus AddLines(const TGPPointF *points, int count);
    /// Adds the arc of the ellipse bounded by (x, y, width, height), angles in degrees
    /// clockwise from the positive x axis (y grows downwards). A sweep beyond ±360 is cut to
    /// a full turn; a width or height that is not above 0 gives InvalidParameter.
    GpStatus AddArc(float x, float y, float width, float height, float startAngle,
                    float sweepAngle);
    /// Adds a closed ellipse of its own, starting at its right-most point and running
    /// clockwise; an empty box adds nothing.
    GpStatus AddEllipse(float x, float y, float width, float height);
    /// Adds a closed rectangle of its own; a width or height not above 0 adds nothing.
    GpStatus AddRectangle(const TGPRectF &rect);
    /// Closes the open figure with a straight line back to its first point.
    GpStatus CloseFigure();
    /// Ends the open figure without closing it.
    GpStatus StartFigure();

    /// Number of points, control points included.
    int GetPointCount() const { return static_cast<int>(FPoints.size()); }
    FillMode GetFillMode() const { return FFillMode; }
    GpStatus SetFillMode(FillMode fillMode);
    const std::vector<TGPPointF> &Points() const { return FPoints; }
    const std::vector<std::uint8_t> &Types() const { return FTypes; }

    /// The path for QPainter, in surface units, with the path's fill rule.
    QPainterPath ToQPainterPath() const;
    /// The figures flattened to polygons no further than tolerance from the curves.
    std::vector<FlatFigure> Flatten(float tolerance) const;

private:
    void AppendPoint(double x, double y, PointType type);
    void AppendBezier(double x1, double y1, double x2, double y2, double x3, double y3);
    /// Starts a new figure at (x, y), or joins (x, y) to the open figure with a line.
    void MoveOrJoin(double x, double y);

    FillMode FFillMode;
    std::vector<TGPPointF> FPoints;
    std::vector<std::uint8_t> FTypes;
    bool FNewFigure = true;
};
