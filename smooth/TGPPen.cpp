#include "TGPPen.h"

#include <cmath>

TGPPen::TGPPen(ARGB color, float width, Unit unit) {
    if (!std::isfinite(width) || width < 0 || (unit != UnitWorld && unit != UnitPixel)) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FPen = QPen(QColor::fromRgba(color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    FHasHandle = true;
}

GpStatus TGPPen::SetDashStyle(DashStyle dashStyle) {
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                               Qt::DashDotLine, Qt::DashDotDotLine};
    if (dashStyle < DashStyleSolid || dashStyle > DashStyleDashDotDot)
        return SetStatus(GpStatus::InvalidParameter);
    FDash = dashStyle;
    FPen.setStyle(kStyles[dashStyle]);
    return GpStatus::Ok;
}
