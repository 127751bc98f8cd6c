#pragma once

#include "TColor.h"

#include <QLabel>
#include <QString>
#include <QWidget>

/// Plain stand-ins for the window's gradient labels and gradient panel.
/// They take the same places and the properties the window uses; `header_controls.h` chooses
/// which classes the window creates.

/// A text label in a gradient label's place: the caption in one colour, centred.
class PlainSmoothLabel : public QLabel {
public:
    PlainSmoothLabel(const QString &caption, TColor color, QWidget *parent);
};

/// A panel in a gradient panel's place: filled with its start colour, outlined with its border.
class PlainSmoothPanel : public QWidget {
public:
    PlainSmoothPanel(TColor fill, TColor border, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor fill_;
    TColor border_;
};
