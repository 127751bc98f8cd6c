#pragma once

#include "TColor.h"

#include <QImage>
#include <QObject>

/// A skin source the progress bar can take its look from instead of a built-in style.
///
/// The bar does not own it; when the source is destroyed the bar detaches itself and falls back
/// to the DeepBlue style. The item numbers are the source's own numbering.
class TsuiFileTheme : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Bitmap items: start cap, filled part, unfilled track, end cap.
    static constexpr int ProgressStartCapItem = 19;
    static constexpr int ProgressBarItem = 20;
    static constexpr int ProgressTrackItem = 21;
    static constexpr int ProgressEndCapItem = 22;
    /// Colour items: the control's colour (used as track colour) and its frame colour.
    static constexpr int ControlColorItem = 21;
    static constexpr int ControlBorderColorItem = 22;

    /// True once the source has loaded a skin.
    virtual bool Ready() const = 0;
    /// The bitmap of an item (19 to 22); a null image when the skin has none.
    virtual QImage GetBitmap(int item) const = 0;
    /// The colour of an item (21 or 22).
    virtual TColor GetColor(int item) const = 0;
};
