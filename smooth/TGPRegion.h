#pragma once

#include "TGdiplusBase.h"

#include <QPainterPath>

class TGPGraphicsPath;

/// An area of the surface used for clipping; made empty-handed it is infinite (no limit).
class TGPRegion : public TGdiplusBase {
public:
    /// The infinite region.
    TGPRegion() = default;
    /// The interior of a path by its fill mode.
    explicit TGPRegion(const TGPGraphicsPath &path);
    /// A rectangle; non-finite coordinates store InvalidParameter and leave it infinite.
    explicit TGPRegion(const TGPRectF &rect);

    bool IsInfinite() const { return FInfinite; }
    /// The area in surface units (meaningless when infinite).
    const QPainterPath &Area() const { return FArea; }

private:
    QPainterPath FArea;
    bool FInfinite = true;
};
