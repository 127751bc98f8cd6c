#include "bitmap_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

/// Index of the source pixel under the centre of target pixel `offset` of `count`, within a
/// source span starting at `first` and `length` pixels long, clamped to the image's `limit`.
int SourceIndex(int offset, int count, int first, int length, int limit) {
    const std::int64_t index =
        first + (std::int64_t(2 * std::int64_t(offset) + 1) * length) / (2 * std::int64_t(count));
    return int(std::clamp<std::int64_t>(index, 0, limit - 1));
}

int EdgeToDevice(int edge, qreal ratio) {
    return int(std::lround(edge * ratio));
}

} // namespace

EdgeRect ToDevice(EdgeRect r, qreal ratio) {
    return {EdgeToDevice(r.Left, ratio), EdgeToDevice(r.Top, ratio), EdgeToDevice(r.Right, ratio),
            EdgeToDevice(r.Bottom, ratio)};
}

void StretchNearest(QImage &canvas, EdgeRect to, const QImage &source, EdgeRect from,
                    bool mirrored) {
    const EdgeRect target = ToDevice(to, canvas.devicePixelRatio());
    if (target.IsEmpty() || from.IsEmpty() || source.isNull() ||
        canvas.format() != QImage::Format_RGB32)
        return;
    const QImage pixels = source.convertToFormat(QImage::Format_RGB32);
    const int top = std::max(target.Top, 0);
    const int bottom = std::min(target.Bottom, canvas.height());
    const int left = std::max(target.Left, 0);
    const int right = std::min(target.Right, canvas.width());
    for (int y = top; y < bottom; ++y) {
        const int row = mirrored ? target.Bottom - 1 - y : y - target.Top;
        const int sy = SourceIndex(row, target.Height(), from.Top, from.Height(), pixels.height());
        const auto *in = reinterpret_cast<const QRgb *>(pixels.constScanLine(sy));
        auto *out = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        for (int x = left; x < right; ++x)
            out[x] = in[SourceIndex(x - target.Left, target.Width(), from.Left, from.Width(),
                                    pixels.width())];
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
