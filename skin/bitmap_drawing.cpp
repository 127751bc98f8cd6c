#include "bitmap_drawing.h"

#include <algorithm>
#include <cstdint>

namespace {

/// Index of the source pixel under the centre of target pixel `offset` of `count`, within a
/// source span starting at `first` and `length` pixels long, clamped to the image's `limit`.
int SourceIndex(int offset, int count, int first, int length, int limit) {
    const std::int64_t index =
        first + (std::int64_t(2 * std::int64_t(offset) + 1) * length) / (2 * std::int64_t(count));
    return int(std::clamp<std::int64_t>(index, 0, limit - 1));
}

} // namespace

void StretchNearest(QImage &canvas, EdgeRect to, const QImage &source, EdgeRect from,
                    bool mirrored) {
    if (to.IsEmpty() || from.IsEmpty() || source.isNull() ||
        canvas.format() != QImage::Format_RGB32)
        return;
    const QImage pixels = source.convertToFormat(QImage::Format_RGB32);
    const int top = std::max(to.Top, 0);
    const int bottom = std::min(to.Bottom, canvas.height());
    const int left = std::max(to.Left, 0);
    const int right = std::min(to.Right, canvas.width());
    for (int y = top; y < bottom; ++y) {
        const int row = mirrored ? to.Bottom - 1 - y : y - to.Top;
        const int sy = SourceIndex(row, to.Height(), from.Top, from.Height(), pixels.height());
        const auto *in = reinterpret_cast<const QRgb *>(pixels.constScanLine(sy));
        auto *out = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        for (int x = left; x < right; ++x)
            out[x] =
                in[SourceIndex(x - to.Left, to.Width(), from.Left, from.Width(), pixels.width())];
    }
}

void RotateBitmapLeft(QImage &bitmap) {
    if (bitmap.isNull())
        return;
    const int w = bitmap.width();
    const int h = bitmap.height();
    QImage turned(h, w, bitmap.format());
    turned.setColorTable(bitmap.colorTable());
    const bool indexed = bitmap.format() == QImage::Format_Indexed8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            turned.setPixel(y, w - 1 - x, indexed ? bitmap.pixelIndex(x, y) : bitmap.pixel(x, y));
    bitmap = turned;
}

void DrawBandsVertical(const QImage &bitmap, QImage &canvas, EdgeRect r, int band) {
    if (r.Left < 0 || bitmap.isNull())
        return;
    const int gw = bitmap.width();
    const int gh = bitmap.height();
    const int b = band == 0 ? gh / 3 : band;
    const int m = std::min(b, r.Height());
    StretchNearest(canvas, {r.Left, r.Top, r.Right, r.Top + m}, bitmap, {0, 0, gw, m});
    StretchNearest(canvas, {r.Left, r.Bottom - b, r.Right, r.Bottom}, bitmap, {0, gh - b, gw, gh});
    StretchNearest(canvas, {r.Left, r.Top + b, r.Right, r.Bottom - b}, bitmap, {0, b, gw, gh - b});
}

void DrawBandsHorizontal(const QImage &bitmap, QImage &canvas, EdgeRect r, int band) {
    if (r.Left < 0 || bitmap.isNull())
        return;
    const int gw = bitmap.width();
    const int gh = bitmap.height();
    const int m = std::min(band, r.Width());
    StretchNearest(canvas, {r.Left, r.Top, r.Left + m, r.Bottom}, bitmap, {0, 0, m, gh});
    StretchNearest(canvas, {r.Right - band, r.Top, r.Right, r.Bottom}, bitmap,
                   {gw - band, 0, gw, gh});
    StretchNearest(canvas, {r.Left + band, r.Top, r.Right - band, r.Bottom}, bitmap,
                   {band, 0, gw - band, gh});
}
