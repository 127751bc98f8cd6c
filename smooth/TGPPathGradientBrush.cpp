#include "TGPPathGradientBrush.h"

#include "TGPGraphicsPath.h"

#include <cmath>

namespace {

// Curves are flattened to within a quarter pixel before the triangle fan is built.
constexpr float kFlatness = 0.25f;

} // namespace

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath &path) {
    FPointCount = path.GetPointCount();
    FShape.figures = path.Flatten(kFlatness);
    double sx = 0, sy = 0;
    for (const TGPPointF &p : path.Points()) {
        sx += p.X;
        sy += p.Y;
    }
    if (FPointCount > 0)
        FShape.centre = QPointF(sx / FPointCount, sy / FPointCount);
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
