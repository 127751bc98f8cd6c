#pragma once

#include "gdiplus_types.h"

#include "TColor.h"
#include "TFont.h"

#include <QString>

#include <memory>

class TGPFont;
class TGPGraphics;

/// The calculate-rectangle flag of DrawTextGDIP: measure and update the rectangle, draw no
/// text.
inline constexpr unsigned DT_CALCRECT = 0x400;

/// The drawing-layer font for a toolkit font: its face in whole points, bold, italic and
/// underline (strike-out dropped).
///
/// A face that is missing, or lacks the style, is replaced by "Arial"; where Arial is not
/// installed either, by the system's general font, so text never silently vanishes.
std::unique_ptr<TGPFont> FontFromTFont(const TFont &font);

/// Height of text measured in (0, 0, 10000, 10000) without a format, rounded half to even.
int GDIPTextHeight(TGPGraphics &graphics, const QString &text, const TFont &font);

/// A DrawText-style routine on a surface; returns the height of the updated rectangle.
///
/// With DT_CALCRECT or a background colour (not clNone) it measures the text and sets
/// rc.Right and rc.Bottom from the box less a margin (2, plus (points - 8) / 1.5 rounded above
/// 8 points), and fills the background behind it. A trailing space (in text of more than one
/// character) is measured and drawn as the letter i, so it keeps its width. Without
/// DT_CALCRECT it then draws the text at (rc.Left, rc.Top) in the font's colour. length
/// below 0 takes the whole text.
int DrawTextGDIP(TGPGraphics &graphics, const QString &text, int length, TColor background,
                 unsigned flags, const TFont &font, TRect &rc);
