#include "TGPPathGradientBrush.h"

#include "TGPGraphicsPath.h"

#include <cmath>

namespace {

// Curves are flattened to within a quarter pixel before the triangle fan is built.
constexpr float kFlatness = 0.25f;

/// The mean of the path's points, where the centre starts. A figure that ends on its own first
/// point (a rounded outline's last line returns to where its first arc began) counts that point
/// once: the repeat adds no outline, and counting it twice would pull the centre towards it.
QPointF OutlineCentre(const TGPGraphicsPath &path) {
    const std::vector<TGPPointF> &points = path.Points();
    const std::vector<std::uint8_t> &types = path.Types();
    double sx = 0, sy = 0;
    std::size_t counted = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if ((types[i] & 0x7F) == TGPGraphicsPath::Start)
            first = i;
        const bool figureEnds =
            i + 1 == points.size() || (types[i + 1] & 0x7F) == TGPGraphicsPath::Start;
        if (figureEnds && i > first && points[i].X == points[first].X &&
            points[i].Y == points[first].Y)
            continue;
        sx += points[i].X;
        sy += points[i].Y;
        ++counted;
    }
    return counted > 0 ? QPointF(sx / double(counted), sy / double(counted)) : QPointF();
}

} // namespace

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath &path) {
    FPointCount = path.GetPointCount();
    FShape.figures = path.Flatten(kFlatness);
    FShape.centre = OutlineCentre(path);
    SetHandle(true);
}

GpStatus TGPPathGradientBrush::SetCenterColor(ARGB color) {
    FShape.centreColor = color;
    return GpStatus::Ok;
}

GpStatus TGPPathGradientBrush::SetCenterPoint(const TGPPointF &point) {
    if (!std::isfinite(point.X) || !std::isfinite(point.Y))
        return SetStatus(GpStatus::InvalidParameter);
    FShape.centre = QPointF(point.X, point.Y);
    return GpStatus::Ok;
}

TGPPointF TGPPathGradientBrush::GetCenterPoint() const {
    return {float(FShape.centre.x()), float(FShape.centre.y())};
}

GpStatus TGPPathGradientBrush::SetSurroundColors(const ARGB *colors, int *count) {
    if (colors == nullptr || count == nullptr || FPointCount < 1 || *count < 1 ||
        *count > FPointCount)
        return SetStatus(GpStatus::InvalidParameter);
    FShape.surround.assign(colors, colors + *count);
    return GpStatus::Ok;
}

GpStatus TGPPathGradientBrush::SetInterpolationColors(const ARGB *presetColors,
                                                      const float *blendPositions, int count) {
    if (presetColors == nullptr || blendPositions == nullptr || count < 1)
        return SetStatus(GpStatus::InvalidParameter);
    std::vector<std::pair<float, ARGB>> blend;
    blend.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const float pos = blendPositions[i];
        if (!(pos >= 0.0f && pos <= 1.0f) || (i > 0 && pos < blendPositions[i - 1]))
            return SetStatus(GpStatus::InvalidParameter);
        blend.emplace_back(pos, presetColors[i]);
    }
    FShape.blend = std::move(blend);
    return GpStatus::Ok;
}

GpStatus TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode) {
    if (wrapMode == WrapModeClamp)
        return GpStatus::Ok;
    if (wrapMode >= WrapModeTile && wrapMode < WrapModeClamp)
        return SetStatus(GpStatus::NotImplemented);
    return SetStatus(GpStatus::InvalidParameter);
}

void TGPPathGradientBrush::FillArea(QPainter &painter, const QPainterPath &area) const {
    FillPathGradient(painter, area, FShape);
}

QBrush TGPPathGradientBrush::QtBrush(const QTransform &) const {
    return Qt::NoBrush;
}
