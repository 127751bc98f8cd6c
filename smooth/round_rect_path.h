#pragma once

#include "TGPGraphicsPath.h"
#include "fill_types.h"

#include <memory>

/// The closed outline of rect with the corners that type names rounded to radius.
///
/// Corner arcs are quarter circles in 2 * radius squares, joined by straight lines; the radius
/// is not limited to half the width or height, so a large one gives overlapping arcs. A radius
/// of 0 (or below) gives the plain rectangle, as the arcs then add nothing.
std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(const TGPRectF &rect, int radius,
                                                     TFillRoundingType type);
