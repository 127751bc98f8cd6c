#include "text_layout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <vector>

QPaintDevice *LayoutDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96.01 dpi, which Qt rounds to 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

namespace {

QFont::HintingPreference HintingFor(TextRenderingHint hint) {
    switch (hint) {
    case TextRenderingHintAntiAlias:
    case TextRenderingHintSingleBitPerPixel:
        return QFont::PreferNoHinting;
    case TextRenderingHintClearTypeGridFit:
    case TextRenderingHintAntiAliasGridFit:
    case TextRenderingHintSingleBitPerPixelGridFit:
        return QFont::PreferFullHinting;
    default:
        // The system's own setting. On Windows that is the desktop's font smoothing, which may
        // snap advances to whole pixels. Elsewhere desktops usually hint slightly, which keeps
        // unhinted advances: measuring unhinted gives the same widths, and text measured this
        // way and then drawn anti-aliased shares one font engine instead of loading two.
#ifdef Q_OS_WIN
        return QFont::PreferDefaultHinting;
#else
        return QFont::PreferNoHinting;
#endif
    }
}

} // namespace

TextLayoutResult LayOutText(const TextLayoutRequest &request, bool wantGlyphs) {
    TextLayoutResult result;
    result.box = QRectF(request.layout.topLeft(), QSizeF(0, 0));
    if (request.text.isEmpty() || request.emPixels <= 0)
        return result;

    QFont font = request.font;
    font.setHintingPreference(HintingFor(request.hint));
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    // Trailing spaces of a line take no room in the box: drop them before each line break.
    QStringList paragraphs = text.split(QChar::LineSeparator);
    for (QString &paragraph : paragraphs) {
        qsizetype end = paragraph.size();
        while (end > 0 && paragraph[end - 1] == QLatin1Char(' '))
            --end;
        paragraph.truncate(end);
    }
    text = paragraphs.join(QChar::LineSeparator);

    const double pad = request.emPixels / 6.0;
    const bool wrap = (request.flags & StringFormatFlagsNoWrap) == 0 && request.layout.width() > 0;
    const double wrapWidth = std::max(1.0, request.layout.width() - 2 * pad);

    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setTextDirection((request.flags & StringFormatFlagsDirectionRightToLeft) != 0
                                ? Qt::RightToLeft
                                : Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);

    QTextLayout layout(text, font, LayoutDevice());
    layout.setTextOption(option);
    const QFontMetricsF metrics(font, LayoutDevice());
    const double lineHeight = metrics.lineSpacing();
    constexpr double kUnbounded = 1e6;

    std::vector<double> widths;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(wrap ? wrapWidth : kUnbounded);
        line.setPosition(QPointF(0, widths.size() * lineHeight));
        widths.push_back(line.naturalTextWidth());
    }
    layout.endLayout();

    const double textWidth = *std::max_element(widths.begin(), widths.end());
    const double boxWidth = textWidth + 2 * pad;
    const double boxHeight = widths.size() * lineHeight;
    double x = request.layout.x();
    double y = request.layout.y();
    if (request.layout.width() > 0 && request.alignment != StringAlignmentNear)
        x += (request.layout.width() - boxWidth) /
             (request.alignment == StringAlignmentCenter ? 2 : 1);
    if (request.layout.height() > 0 && request.lineAlignment != StringAlignmentNear)
        y += (request.layout.height() - boxHeight) /
             (request.lineAlignment == StringAlignmentCenter ? 2 : 1);
    result.box = QRectF(x, y, boxWidth, boxHeight);
    result.lines = int(widths.size());
    result.codepoints = int(request.text.size());
    if (!wantGlyphs)
        return result;

    QPainterPath glyphs;
    glyphs.setFillRule(Qt::WindingFill);
    const bool rtl = (request.flags & StringFormatFlagsDirectionRightToLeft) != 0;
    // Building glyph outlines is the costly part of drawing text, so only glyphs whose ink can
    // reach the visible area get one. A glyph's ink lies within its font's widest glyph right
    // of its origin and within the line's ascent and descent, give or take an overshoot; a
    // margin of an em and a line on every side keeps every glyph that could touch a pixel.
    const bool cull = request.visible.has_value();
    const double margin = request.emPixels + lineHeight;
    const QRectF visible = request.visible.value_or(QRectF());
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const double baseline = y + i * lineHeight + metrics.ascent();
        if (cull && (visible.isEmpty() || baseline + line.descent() + margin < visible.top() ||
                     baseline - line.ascent() - margin > visible.bottom()))
            continue;
        // Each line starts after the left padding (or ends before the right one when the
        // paragraph runs right to left) and shares the font's ascent as its baseline.
        double lineX = x + pad - line.x();
        if (rtl || request.alignment != StringAlignmentNear) {
            const double slack = textWidth - widths[std::size_t(i)];
            lineX += request.alignment == StringAlignmentCenter         ? slack / 2
                     : (request.alignment == StringAlignmentFar) != rtl ? slack
                                                                        : 0;
            if (rtl)
                lineX -= line.width() - widths[std::size_t(i)];
        }
        const QPointF shift(lineX, baseline - (line.y() + line.ascent()));
        for (const QGlyphRun &run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const double before = visible.left() - raw.maxCharWidth() - margin;
            const double after = visible.right() + margin;
            for (qsizetype g = 0; g < indexes.size(); ++g) {
                const QPointF origin = positions[g] + shift;
                if (cull && (origin.x() < before || origin.x() > after))
                    continue;
                QPainterPath outline = raw.pathForGlyph(indexes[g]);
                outline.translate(origin);
                glyphs.addPath(outline);
            }
        }
        const double w = widths[std::size_t(i)];
        const double left = lineX + line.x() + (rtl ? line.width() - w : 0);
        const double thickness = std::max(1.0, metrics.lineWidth());
        if (font.underline())
            glyphs.addRect(QRectF(left, baseline + metrics.underlinePos(), w, thickness));
        if (font.strikeOut())
            glyphs.addRect(QRectF(left, baseline - metrics.strikeOutPos(), w, thickness));
    }
    result.glyphs = glyphs;
    return result;
}
