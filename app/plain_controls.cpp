#include "plain_controls.h"

#include <QPainter>

#include <algorithm>

namespace {

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

} // namespace

PlainProgressBar::PlainProgressBar(QWidget *parent) : QWidget(parent) {}

void PlainProgressBar::SetMin(std::int32_t value) {
    min_ = value;
    update();
}

void PlainProgressBar::SetMax(std::int32_t value) {
    max_ = value;
    update();
}

void PlainProgressBar::SetPosition(std::int32_t value) {
    position_ = value;
    update();
}

double PlainProgressBar::Fraction() const {
    const std::int64_t range = std::int64_t(max_) - min_;
    if (range <= 0)
        return 0.0;
    const std::int64_t reached = std::clamp<std::int64_t>(std::int64_t(position_) - min_, 0, range);
    return double(reached) / double(range);
}

QString PlainProgressBar::Caption() const {
    const std::int64_t range = std::int64_t(max_) - min_;
    std::int64_t percent = 0;
    if (range != 0)
        percent = (std::int64_t(position_) - min_) * 100 / range;
    return QString::number(percent) + QLatin1Char('%');
}

void PlainProgressBar::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), Qt::white);
    QRect filled = rect().adjusted(1, 1, -1, -1);
    filled.setWidth(int(filled.width() * Fraction()));
    painter.fillRect(filled, QColor(60, 180, 60));
    painter.setPen(ToQColor(0x00686868));
    painter.drawRect(frame);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter, Caption());
}

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
