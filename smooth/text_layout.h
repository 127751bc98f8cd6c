#pragma once

#include "gdiplus_types.h"

#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <optional>

class QPaintDevice;

/// A device of 96 pixels per inch, so that layout happens in the pixels of the surfaces
/// whatever the screen's resolution.
QPaintDevice *LayoutDevice();

/// One request to lay out a string the way the drawing layer measures and draws it.
struct TextLayoutRequest {
    QString text;
    QFont font;
    double emPixels = 0;
    QRectF layout; ///< width or height 0 means unbounded along that axis
    int flags = 0; ///< StringFormatFlags
    StringAlignment alignment = StringAlignmentNear;
    StringAlignment lineAlignment = StringAlignmentNear;
    TextRenderingHint hint = TextRenderingHintSystemDefault;
    /// Where drawing can show, in the layout's units; when given, the outlines of lines and
    /// glyphs that cannot reach it are left out (the picture stays the same).
    std::optional<QRectF> visible;
};

/// Where the laid-out text lies.
struct TextLayoutResult {
    /// The bounding box: advances without trailing spaces plus em / 6 padding on each side,
    /// times the number of lines in height.
    QRectF box;
    /// The glyph outlines (and underline or strike-out bars) in surface units, non-zero fill.
    QPainterPath glyphs;
    int lines = 0;
    int codepoints = 0;
};

/// Lays out text in a layout rectangle: lines break at explicit line breaks and, unless the
/// no-wrap flag is set or the width is 0, where words no longer fit the width less the
/// padding. The paragraph runs left to right unless the right-to-left flag is set; Qt shapes
/// the script and orders right-to-left runs inside it. Glyph outlines are built only when
/// wantGlyphs is true, and then only near the request's visible area, so that a long text costs
/// the outlines of what can show rather than of every glyph.
TextLayoutResult LayOutText(const TextLayoutRequest &request, bool wantGlyphs);
