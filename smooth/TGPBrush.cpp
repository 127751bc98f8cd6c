#include "TGPBrush.h"

#include "TGPImage.h"
#include "hatch_patterns.h"

#include <QPainter>

namespace {

/// A pattern brush whose texels sit on device pixels: the brush transform undoes the world
/// transform the painter will apply.
QBrush DeviceAnchored(const QImage &texture, const QTransform &world) {
    QBrush brush(texture);
    brush.setTransform(world.inverted());
    return brush;
}

} // namespace

void TGPBrush::FillArea(QPainter &painter, const QPainterPath &area) const {
    const QBrush brush = QtBrush(painter.worldTransform());
    if (brush.style() != Qt::TexturePattern) {
        painter.fillPath(area, brush);
        return;
    }
    // On a high-density device each texel covers several device pixels: keep their edges hard,
    // as the pattern looks on a plain one, instead of blending neighbouring texels.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillPath(area, brush);
    painter.restore();
}

TGPSolidBrush::TGPSolidBrush(ARGB color) : FColor(color) {
    SetHandle(true);
}

QBrush TGPSolidBrush::QtBrush(const QTransform &) const {
    return QColor::fromRgba(FColor);
}

TGPHatchBrush::TGPHatchBrush(int style, ARGB foreground, ARGB background) {
    if (!IsValidHatchStyle(style)) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FTile = HatchTile(static_cast<HatchStyle>(style), foreground, background);
    SetHandle(true);
}

QBrush TGPHatchBrush::QtBrush(const QTransform &world) const {
    return DeviceAnchored(FTile, world);
}

TGPTextureBrush::TGPTextureBrush(const TGPImage &image, WrapMode wrapMode) {
    if (!image.HasHandle()) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    if (wrapMode != WrapModeTile) {
        SetStatus(GpStatus::NotImplemented);
        return;
    }
    FTexture = image.Image();
    SetHandle(true);
}

QBrush TGPTextureBrush::QtBrush(const QTransform &world) const {
    return DeviceAnchored(FTexture, world);
}
