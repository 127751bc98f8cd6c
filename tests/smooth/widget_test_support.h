#pragma once

#include "TGPGraphics.h"

#include "TFont.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QWidget>

/// A face installed on every test machine (the fonts the setup script installs).
inline TFont TestFont(int height = -16) {
    TFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Height = height;
    return font;
}

/// Paints control's face with paint(graphics) on a white canvas of the control's size.
template <typename Control> QImage PaintOnWhite(Control &control) {
    QImage image(control.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TGPGraphics graphics(&painter);
    control.Paint(graphics);
    return image;
}

/// The bounding box of the pixels that differ from white by more than tolerance.
inline QRect InkBounds(const QImage &image, int tolerance = 24) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (255 - c.red() > tolerance || 255 - c.green() > tolerance ||
                255 - c.blue() > tolerance)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

/// True when every pixel is white.
inline bool AllWhite(const QImage &image) {
    return InkBounds(image, 0).isEmpty();
}

/// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};
