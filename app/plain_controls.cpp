#include "plain_controls.h"

#include <QPainter>

namespace {

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

} // namespace

PlainSmoothLabel::PlainSmoothLabel(const QString &caption, TColor color, QWidget *parent)
    : QLabel(caption, parent) {
    setAlignment(Qt::AlignCenter);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(color));
    setPalette(colours);
}

PlainSmoothPanel::PlainSmoothPanel(TColor fill, TColor border, QWidget *parent)
    : QWidget(parent), fill_(fill), border_(border) {}

void PlainSmoothPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(ToQColor(fill_));
    painter.setPen(ToQColor(border_));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}
