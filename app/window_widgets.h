#pragma once

#include "TColor.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

/// The window's standard controls that Qt has no exact counterpart for: bevelled panels, filled
/// rectangles, self-sizing labels and a button with its picture below the caption.

/// How one bevel ring of a panel is drawn.
enum class TBevelCut { None, Lowered, Raised };

/// A panel framed by an outer and an inner bevel ring; its children sit inside both rings.
class BevelPanel : public QWidget {
public:
    BevelPanel(TBevelCut outer, TBevelCut inner, int bevelWidth, QWidget *parent);
    /// The rectangle inside the bevels, where aligned children go.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TBevelCut outer_;
    TBevelCut inner_;
    int bevelWidth_;
};

/// A rectangle filled with a brush colour and outlined with a 1-pixel pen.
class ShapeWidget : public QWidget {
public:
    ShapeWidget(TColor brush, TColor pen, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor brush_;
    TColor pen_;
};

/// A text label that sizes itself to its text and keeps its right edge when the text changes,
/// as a right-to-left label does.
class AutoSizeLabel : public QLabel {
public:
    AutoSizeLabel(const QString &caption, QWidget *parent);
    /// Places the label with its design-time size; the right edge stays at left + width.
    void PlaceAt(int left, int top, int width, int height);
    /// Sets the caption and resizes the label to it, keeping the right edge.
    void SetCaption(const QString &caption);

private:
    void FitToText();
    int rightEdge_ = 0;
};

/// A push button that draws its caption and, below it, a picture whose bottom-left pixel's
/// colour is transparent.
class GlyphButton : public QPushButton {
public:
    GlyphButton(const QString &caption, const QPixmap &glyph, QWidget *parent);
    const QPixmap &Glyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    /// Enter presses the button when it has the focus, as on a Windows form. The button is not
    /// made auto-default for that: styles draw auto-default buttons with a different frame.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap glyph_;
};

/// Makes every pixel of `image`'s bottom-left colour transparent.
QPixmap TransparentByBottomLeft(const QImage &image);
