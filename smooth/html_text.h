#pragma once

#include "TColor.h"
#include "TFont.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QTextDocument;
class TGDIPPictureContainer;
class TGPGraphics;
class TImageList;

/// What HTML text to lay out and how it looks.
struct THTMLText {
    /// The markup; see FilterMarkup for what is understood.
    QString Markup;
    /// The base face, size, style and colour of the text.
    TFont Font;
    /// Colour of link text; links are underlined.
    TColor URLColor = clBlue;
    /// Colour of the shadow drawn under the text; clNone draws none.
    TColor ShadowColor = clNone;
    /// Offset of the shadow to the right and down, in pixels; 0 draws none.
    int ShadowOffset = 0;
    /// Pictures for img by index ("0", "1", ...); not owned, may be null.
    const TImageList *Images = nullptr;
    /// Pictures for img by name; not owned, may be null.
    const TGDIPPictureContainer *PictureContainer = nullptr;

    bool operator==(const THTMLText &) const = default;
};

/// HTML text laid out in a given width: measures it, draws it and finds the link under a point.
///
/// Built on Qt's rich-text engine. Nothing is ever fetched: pictures come only from the given
/// image list and picture container, and no file, network or other outside resource is read
/// whatever the markup says. Each distinct picture is decoded once per layout and shared by
/// every img naming it, within THTMLMarkupLimits::MaxPicturePixels in all. Markup is filtered
/// and bounded first (FilterMarkup), so any input lays out in bounded time. Measuring, drawing
/// and hit-testing the same text in the same width agree: they use one layout.
class THTMLTextLayout {
public:
    /// Lays text out in lines of at most width pixels (at least 1).
    THTMLTextLayout(const THTMLText &text, int width);
    ~THTMLTextLayout();
    THTMLTextLayout(const THTMLTextLayout &) = delete;
    THTMLTextLayout &operator=(const THTMLTextLayout &) = delete;

    /// Width of the widest line and height of all lines, in whole pixels rounded up.
    QSize Size() const;
    /// Draws the text with its top-left corner at box's, its shadow first, all clipped to box
    /// widened by the shadow offset.
    void Draw(TGPGraphics &graphics, const QRect &box) const;
    /// The link target under point (relative to the text's top-left corner); empty when the
    /// point is over no link.
    QString AnchorAt(const QPointF &point) const;

private:
    std::unique_ptr<QTextDocument> FDocument;
    TColor FTextColor = clBlack;
    TColor FShadowColor = clNone;
    int FShadowOffset = 0;
};
