#include "progress_painting.h"

#include "bitmap_drawing.h"
#include "rounding.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

/// The band the skin-source mode keeps unstretched at each end of a piece.
constexpr int SkinBand = 2;

QRgb ToRgb(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

/// Fills r, given in the canvas's logical pixels, with color.
void Fill(QImage &canvas, EdgeRect logical, TColor color) {
    if (color == clNone)
        return;
    const EdgeRect r = ToDevice(logical, canvas.devicePixelRatio());
    const QRgb rgb = ToRgb(color);
    const int left = std::max(r.Left, 0);
    const int right = std::min(r.Right, canvas.width());
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, canvas.height()); ++y) {
        auto *row = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        if (left < right)
            std::fill(row + left, row + right, rgb);
    }
}

void PaintPictureHorizontal(const ProgressLook &look, QImage &canvas, int w, int h) {
    int length = BarLength(look.Range, w - 1);
    if (length == 0)
        length = 1;
    StretchNearest(canvas, {1, 1, length, h - 1}, look.Picture, BoundsOf(look.Picture));
    Fill(canvas, {length, 1, w - 1, h - 1}, look.Color);
}

void PaintPictureVertical(const ProgressLook &look, QImage &canvas, int w, int h) {
    int top = h - 1 - BarLength(look.Range, h - 1);
    if (top == 0)
        top = 1;
    StretchNearest(canvas, {1, top, w - 1, h - 1}, look.Picture, BoundsOf(look.Picture), true);
    Fill(canvas, {1, 1, w - 1, top}, look.Color);
}

void PaintSkinHorizontal(const ProgressLook &look, QImage &canvas, int w, int h) {
    const int sw = look.StartCap.width();
    const int ew = look.EndCap.width();
    Fill(canvas, {0, 0, w, h}, look.Color);
    const int length = BarLength(look.Range, w - sw - ew);
    DrawBandsVertical(look.StartCap, canvas, {0, 0, sw, h}, SkinBand);
    DrawBandsVertical(look.Picture, canvas, {sw, 0, sw + length, h}, SkinBand);
    DrawBandsVertical(look.Track, canvas, {sw + length, 0, w - ew, h}, SkinBand);
    DrawBandsVertical(look.EndCap, canvas, {w - ew, 0, w, h}, SkinBand);
}

void PaintSkinVertical(const ProgressLook &look, QImage &canvas, int w, int h) {
    const int sh = look.StartCap.height();
    const int eh = look.EndCap.height();
    Fill(canvas, {0, 0, w, h}, look.Color);
    const int length = BarLength(look.Range, h - sh - eh);
    const int top = h - sh - length;
    DrawBandsHorizontal(look.StartCap, canvas, {0, h - sh, w, h}, SkinBand);
    DrawBandsHorizontal(look.Picture, canvas, {0, top, w, h - sh}, SkinBand);
    DrawBandsHorizontal(look.Track, canvas, {0, eh, w, top}, SkinBand);
    DrawBandsHorizontal(look.EndCap, canvas, {0, 0, w, eh}, SkinBand);
}

void PaintCaption(const ProgressLook &look, QImage &canvas, QSize size, const QFont &font) {
    if (look.CaptionColor == clNone ||
        (look.SmartShowCaption && look.Range.Position == look.Range.Min))
        return;
    QPainter painter(&canvas);
    painter.setFont(font);
    // The caption is a number and a percent sign: it reads left to right in any window.
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.setPen(QColor(ToRgb(look.CaptionColor)));
    const QFontMetrics metrics(font, &canvas);
    const int x = int(TruncDiv(size.width() - metrics.horizontalAdvance(look.Text), 2));
    const int y = int(TruncDiv(size.height() - metrics.height(), 2));
    painter.drawText(x, y + metrics.ascent(), look.Text);
}

void PaintFrame(QImage &canvas, QSize size, TColor color) {
    const int w = size.width();
    const int h = size.height();
    Fill(canvas, {0, 0, w, 1}, color);
    Fill(canvas, {0, h - 1, w, h}, color);
    Fill(canvas, {0, 0, 1, h}, color);
    Fill(canvas, {w - 1, 0, w, h}, color);
}

} // namespace

ProgressPaint PaintProgressBar(const ProgressLook &look, QSize size, const QFont &font,
                               qreal ratio) {
    ProgressPaint result;
    const bool skin =
        look.SkinMode && !look.StartCap.isNull() && !look.Track.isNull() && !look.EndCap.isNull();
    result.CaptionTurnedOff = !skin && look.Orientation == suiVertical;
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return result;

    QImage &canvas = result.Canvas;
    const EdgeRect device = ToDevice({0, 0, w, h}, ratio);
    canvas = QImage(device.Width(), device.Height(), QImage::Format_RGB32);
    if (canvas.isNull())
        return result;
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(look.Color == clNone ? QColor(Qt::white) : QColor(ToRgb(look.Color)));
    if (skin && look.Orientation == suiVertical)
        PaintSkinVertical(look, canvas, w, h);
    else if (skin)
        PaintSkinHorizontal(look, canvas, w, h);
    else if (look.Orientation == suiVertical)
        PaintPictureVertical(look, canvas, w, h);
    else
        PaintPictureHorizontal(look, canvas, w, h);

    if (look.ShowCaption && !result.CaptionTurnedOff)
        PaintCaption(look, canvas, size, font);
    if (!skin)
        PaintFrame(canvas, size, look.BorderColor);
    return result;
}
