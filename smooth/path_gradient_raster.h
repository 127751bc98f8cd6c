#pragma once

#include "TGPGraphicsPath.h"
#include "gdiplus_types.h"

#include <QPainterPath>
#include <QPointF>

#include <vector>

class QPainter;

/// What the path-gradient rasterizer needs to know about a brush.
struct PathGradientShape {
    /// The brush's outline, flattened, in surface units.
    std::vector<TGPGraphicsPath::FlatFigure> figures;
    QPointF centre;
    ARGB centreColor = 0xFFFFFFFF;
    /// Colour of each path point; fewer than the points repeat the last one.
    std::vector<ARGB> surround{0xFFFFFFFF};
    /// Preset blend (position 0 = outline, 1 = centre); when set it replaces the centre and
    /// surround colours.
    std::vector<std::pair<float, ARGB>> blend;
};

/// Fills area (surface units) on painter with the path gradient of shape.
///
/// The blend value t of a pixel comes from the triangle fan between the centre and each edge
/// of the flattened outline: 0 on the outline, 1 at the centre, affine inside each triangle;
/// the boundary colour varies along each edge between the colours of its end points. The
/// value is taken at the pixel centre of the surface's pixel grid, coverage comes from area
/// (antialiased when the painter antialiases), and nothing is painted outside the outline.
void FillPathGradient(QPainter &painter, const QPainterPath &area, const PathGradientShape &shape);
