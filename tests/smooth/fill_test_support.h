#pragma once

#include "TGDIPFill.h"
#include "TGPGraphics.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdlib>

/// A canvas with what one DrawFill painted on it, and the rectangle DrawFill returned.
struct FillResult {
    QImage image;
    TGPRectF content;
};

/// Paints fill into rect on a width x height canvas of background.
inline FillResult RenderFill(const TGDIPFill &fill, const TGPRectF &rect, int width, int height,
                             QColor background = Qt::white) {
    FillResult result{QImage(width, height, QImage::Format_ARGB32_Premultiplied), {}};
    result.image.fill(background);
    QPainter painter(&result.image);
    TGPGraphics graphics(&painter);
    result.content = fill.DrawFill(graphics, rect);
    return result;
}

/// The fill of the window's header panel.
inline void ApplyHeaderFill(TGDIPFill &fill) {
    fill.SetColor(10092543);
    fill.SetColorTo(52479);
    fill.SetGradientMirrorType(gtVertical);
    fill.SetBorderColor(7042912);
    fill.SetRounding(3);
    fill.SetShadowOffset(5);
}

/// True when the pixel's straight colour is within tolerance of colour in every channel.
inline bool Near(const QImage &image, int x, int y, QColor colour, int tolerance = 2) {
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - colour.red()) <= tolerance &&
           std::abs(c.green() - colour.green()) <= tolerance &&
           std::abs(c.blue() - colour.blue()) <= tolerance &&
           std::abs(c.alpha() - colour.alpha()) <= tolerance;
}

/// The QColor of a toolkit colour (0x00BBGGRR).
inline QColor FromTColor(TColor c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
