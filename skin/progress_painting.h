#pragma once

#include "TColor.h"
#include "TsuiProgressBarOrientation.h"
#include "progress_math.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

/// Everything one paint of the skinned progress bar reads, taken from the control.
struct ProgressLook {
    TsuiProgressBarOrientation Orientation = suiHorizontal;
    ProgressRange Range;
    /// The filled part's picture; a null image leaves that part as the canvas starts.
    QImage Picture;
    TColor Color = clBtnFace;
    TColor BorderColor = clBlack;
    TColor CaptionColor = clBlack;
    bool ShowCaption = true;
    bool SmartShowCaption = false;
    QString Text;
    /// Skin-source mode: caps and track drawn in bands, no frame. Needs all three bitmaps.
    bool SkinMode = false;
    QImage StartCap;
    QImage Track;
    QImage EndCap;
};

/// The outcome of one paint.
struct ProgressPaint {
    /// The whole client area, Format_RGB32, at the device pixel ratio it was painted for; null
    /// when the size is empty.
    QImage Canvas;
    /// A vertical bar in picture mode never shows a caption, and turns ShowCaption off.
    bool CaptionTurnedOff = false;
};

/// Paints the bar off-screen: track, filled part, caption in `font` centred on the whole area,
/// then the one-pixel frame (picture mode only).
///
/// The canvas starts in the track colour (white when it is clNone); every clNone colour skips its
/// step. The filled part grows from the left or from the bottom whatever the reading order.
/// size is in logical pixels; with `ratio` device pixels to each, the caption is drawn at the
/// device's resolution while the pictures and the frame are the 1:1 look scaled to the nearest
/// device pixel.
ProgressPaint PaintProgressBar(const ProgressLook &look, QSize size, const QFont &font,
                               qreal ratio = 1.0);
