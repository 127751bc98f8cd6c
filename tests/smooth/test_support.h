#pragma once

#include "TGPGraphics.h"
#include "TGPGraphicsPath.h"

#include <QImage>
#include <QPainter>

/// A white premultiplied canvas of the given size.
inline QImage WhiteCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

/// A white `width` x `height` canvas after `draw(graphics)` drew on it through the drawing layer.
template <class Draw> QImage DrawnOnWhite(int width, int height, Draw draw) {
    QImage canvas = WhiteCanvas(width, height);
    QPainter painter(&canvas);
    TGPGraphics graphics(&painter);
    draw(graphics);
    painter.end();
    return canvas;
}

/// The outline the gradient fill uses for a rectangle rounded on all four corners.
inline void AddRoundRect(TGPGraphicsPath &path, float x, float y, float w, float h, float r) {
    const float d = 2 * r;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddLine(x + r, y, x + w - r, y);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddLine(x + w, y + r, x + w, y + h - r);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddLine(x + w - r, y + h, x + r, y + h);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.AddLine(x, y + h - r, x, y + r);
    path.CloseFigure();
}
