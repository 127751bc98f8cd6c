#include "window_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

/// One bevel ring of `width` pixels just inside `rect`.
void DrawBevel(QPainter &painter, QRect rect, TBevelCut cut, int width) {
    if (cut == TBevelCut::None)
        return;
    const QColor light = Qt::white;
    const QColor dark(128, 128, 128);
    const QColor &topLeft = cut == TBevelCut::Raised ? light : dark;
    const QColor &bottomRight = cut == TBevelCut::Raised ? dark : light;
    for (int i = 0; i < width; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

} // namespace

BevelPanel::BevelPanel(TBevelCut outer, TBevelCut inner, int bevelWidth, QWidget *parent)
    : QWidget(parent), outer_(outer), inner_(inner), bevelWidth_(bevelWidth) {
    setAutoFillBackground(true);
}

QRect BevelPanel::ClientRect() const {
    int inset = 0;
    if (outer_ != TBevelCut::None)
        inset += bevelWidth_;
    if (inner_ != TBevelCut::None)
        inset += bevelWidth_;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void BevelPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    DrawBevel(painter, rect(), outer_, bevelWidth_);
    const int inset = outer_ == TBevelCut::None ? 0 : bevelWidth_;
    DrawBevel(painter, rect().adjusted(inset, inset, -inset, -inset), inner_, bevelWidth_);
}

ShapeWidget::ShapeWidget(TColor brush, TColor pen, QWidget *parent)
    : QWidget(parent), brush_(brush), pen_(pen) {}

void ShapeWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(brush_));
    painter.setPen(ToQColor(pen_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

AutoSizeLabel::AutoSizeLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent) {
    setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void AutoSizeLabel::PlaceAt(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    rightEdge_ = left + width;
    FitToText();
}

void AutoSizeLabel::SetCaption(const QString &caption) {
    setText(caption);
    FitToText();
}

void AutoSizeLabel::FitToText() {
    const int width = fontMetrics().horizontalAdvance(text());
    setGeometry(rightEdge_ - width, y(), width, height());
}

GlyphButton::GlyphButton(const QString &caption, const QPixmap &glyph, QWidget *parent)
    : QPushButton(caption, parent), glyph_(glyph) {}

void GlyphButton::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    // Caption above, picture below, the pair centred in the button.
    const QFontMetrics metrics(font());
    const int spacing = 4;
    const int textHeight = metrics.height();
    const int total = textHeight + spacing + glyph_.height();
    const int top = (height() - total) / 2 + (isDown() ? 1 : 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // Not clipped to the line: some faces draw marks (a madda above, dots below) beyond their
    // ascent and descent (Wine's stand-in Tahoma among them).
    painter.drawText(QRect(0, top, width(), textHeight), Qt::AlignCenter | Qt::TextDontClip,
                     caption);
    painter.drawPixmap((width() - glyph_.width()) / 2, top + textHeight + spacing, glyph_);
}

void GlyphButton::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QPixmap TransparentByBottomLeft(const QImage &image) {
    if (image.isNull())
        return {};
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1) & 0x00FFFFFFu;
    for (int y = 0; y < keyed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = 0;
    }
    return QPixmap::fromImage(keyed);
}
