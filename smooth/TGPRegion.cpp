#include "TGPRegion.h"

#include "TGPGraphicsPath.h"

#include <cmath>

TGPRegion::TGPRegion(const TGPGraphicsPath &path)
    : FArea(path.ToQPainterPath()), FInfinite(false) {}

TGPRegion::TGPRegion(const TGPRectF &rect) {
    if (!std::isfinite(rect.X) || !std::isfinite(rect.Y) || !std::isfinite(rect.Width) ||
        !std::isfinite(rect.Height)) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FArea.addRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height).normalized());
    FInfinite = false;
}
