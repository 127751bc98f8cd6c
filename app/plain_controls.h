#pragma once

#include "TColor.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>

/// Plain stand-ins for the window's skinned progress bar, gradient labels and gradient panel.
/// They take the same places and the properties the window uses; `header_controls.h` chooses
/// which classes the window creates.

/// A progress bar with a 32-bit range that shows its whole percentage followed by "%".
class PlainProgressBar : public QWidget {
public:
    explicit PlainProgressBar(QWidget *parent);

    std::int32_t Min() const { return min_; }
    std::int32_t Max() const { return max_; }
    std::int32_t Position() const { return position_; }
    void SetMin(std::int32_t value);
    void SetMax(std::int32_t value);
    void SetPosition(std::int32_t value);
    /// The shown text: the whole percentage of the range reached and "%"; "0%" when the range is
    /// empty. Differences are taken in 64 bits, so extreme values never overflow.
    QString Caption() const;
    /// The filled share, 0 to 1.
    double Fraction() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t position_ = 0;
};

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
