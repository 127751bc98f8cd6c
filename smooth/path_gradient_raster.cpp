#include "path_gradient_raster.h"

#include "pixel_grid.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kLutSize = 1024;

/// Premultiplied colour with float channels, for blending before rounding.
struct Premul {
    float a = 0, r = 0, g = 0, b = 0;
};

Premul ToPremul(ARGB c) {
    const float a = qAlpha(c) / 255.0f;
    return {a * 255.0f, qRed(c) * a, qGreen(c) * a, qBlue(c) * a};
}

Premul Mix(const Premul &x, const Premul &y, float t) {
    return {x.a + (y.a - x.a) * t, x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t,
            x.b + (y.b - x.b) * t};
}

/// The premultiplied pixel for colour c at coverage (0 to 255).
QRgb Pack(const Premul &c, int coverage) {
    const float k = coverage / 255.0f;
    auto q = [k](float v) { return int(std::lround(std::clamp(v * k, 0.0f, 255.0f))); };
    const int a = q(c.a);
    return qRgba(std::min(q(c.r), a), std::min(q(c.g), a), std::min(q(c.b), a), a);
}

/// Colour by blend value t along a preset blend, piecewise linear between its stops.
Premul BlendAt(const std::vector<std::pair<float, ARGB>> &blend, float t) {
    if (t <= blend.front().first)
        return ToPremul(blend.front().second);
    for (std::size_t i = 1; i < blend.size(); ++i) {
        if (t <= blend[i].first) {
            const float span = blend[i].first - blend[i - 1].first;
            const float f = span > 0 ? (t - blend[i - 1].first) / span : 1.0f;
            return Mix(ToPremul(blend[i - 1].second), ToPremul(blend[i].second), f);
        }
    }
    return ToPremul(blend.back().second);
}

/// Colour of the outline at a (possibly fractional) path point index.
Premul SurroundAt(const std::vector<ARGB> &surround, float index) {
    const int last = int(surround.size()) - 1;
    const int i0 = std::clamp(int(std::floor(index)), 0, last);
    const int i1 = std::clamp(i0 + 1, 0, last);
    const float f = std::clamp(index - std::floor(index), 0.0f, 1.0f);
    return Mix(ToPremul(surround[i0]), ToPremul(surround[i1]), f);
}

struct Edge {
    QPointF a, b;
    Premul ca, cb;
};

} // namespace

void FillPathGradient(QPainter &painter, const QPainterPath &area, const PathGradientShape &shape) {
    // Blend values are taken per device pixel, so a high-density device gets a smooth ramp
    // instead of an enlarged one.
    const QPaintDevice *device = painter.device();
    const double ratio = device != nullptr ? device->devicePixelRatio() : 1.0;
    const QTransform world = painter.worldTransform() * QTransform::fromScale(ratio, ratio);
    const QPointF centre = world.map(shape.centre);
    if (!std::isfinite(centre.x()) || !std::isfinite(centre.y()))
        return;

    // Device-space edges of the outline with their boundary colours.
    std::vector<Edge> edges;
    QRectF outlineBounds;
    const bool uniform =
        !shape.blend.empty() || std::all_of(shape.surround.begin(), shape.surround.end(),
                                            [&](ARGB c) { return c == shape.surround.front(); });
    for (const auto &fig : shape.figures) {
        const std::size_t n = fig.points.size();
        if (n < 2)
            continue;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            Edge e{world.map(QPointF(fig.points[i].X, fig.points[i].Y)),
                   world.map(QPointF(fig.points[j].X, fig.points[j].Y)),
                   {},
                   {}};
            if (!uniform) {
                e.ca = SurroundAt(shape.surround, fig.sourceIndex[i]);
                e.cb = SurroundAt(shape.surround, fig.sourceIndex[j]);
            }
            edges.push_back(e);
            outlineBounds |= QRectF(e.a, e.b).normalized().adjusted(0, 0, 1e-3, 1e-3);
        }
    }
    if (edges.empty())
        return;

    // Aliased geometry lies a little right of and below the outline (pixel_grid.h).
    outlineBounds.adjust(-1, -1, 1, 1);
    QRectF wanted = world.map(area).boundingRect() & outlineBounds;
    // A widget counts its size in logical pixels, an image in device pixels: this bounds both.
    if (device != nullptr)
        wanted &= QRectF(0, 0, device->width() * ratio, device->height() * ratio);
    if (painter.hasClipping())
        wanted &= world.mapRect(painter.clipBoundingRect());
    const QRect box(
        QPoint(int(std::floor(wanted.left())), int(std::floor(wanted.top()))),
        QPoint(int(std::ceil(wanted.right())) - 1, int(std::ceil(wanted.bottom())) - 1));
    if (wanted.isEmpty() || box.isEmpty() || box.width() > 16384 || box.height() > 16384)
        return;

    // Coverage of the filled area, rendered as the painter would render it.
    QImage mask(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return;
    mask.fill(0);
    {
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::Antialiasing, painter.testRenderHint(QPainter::Antialiasing));
        mp.setTransform(world * QTransform::fromTranslate(-box.left(), -box.top()));
        mp.fillPath(area, Qt::black);
    }

    const double sample =
        SampleOffset(GridShift(painter.testRenderHint(QPainter::Antialiasing)), ratio);

    std::array<Premul, kLutSize + 1> lut{};
    if (uniform) {
        const Premul boundary = ToPremul(shape.surround.front());
        const Premul centreColor = ToPremul(shape.centreColor);
        for (int i = 0; i <= kLutSize; ++i) {
            const float t = float(i) / kLutSize;
            lut[i] = shape.blend.empty() ? Mix(boundary, centreColor, t) : BlendAt(shape.blend, t);
        }
    }
    const Premul centreColor = ToPremul(shape.centreColor);

    QImage out(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return;
    out.fill(0);
    std::vector<std::uint8_t> done(std::size_t(box.width()) * box.height(), 0);

    for (const Edge &e : edges) {
        // Barycentric weights in the triangle (centre, a, b): the centre's weight is t.
        const double area2 = (e.a.x() - centre.x()) * (e.b.y() - centre.y()) -
                             (e.a.y() - centre.y()) * (e.b.x() - centre.x());
        if (std::abs(area2) < 1e-9)
            continue;
        // Bounds of the triangle (a united rectangle would drop the zero-size centre).
        const double left = std::min({e.a.x(), e.b.x(), centre.x()});
        const double right = std::max({e.a.x(), e.b.x(), centre.x()});
        const double top = std::min({e.a.y(), e.b.y(), centre.y()});
        const double bottom = std::max({e.a.y(), e.b.y(), centre.y()});
        const int x0 = std::max(box.left(), int(std::floor(left - 1)));
        const int x1 = std::min(box.right(), int(std::ceil(right)));
        const int y0 = std::max(box.top(), int(std::floor(top - 1)));
        const int y1 = std::min(box.bottom(), int(std::ceil(bottom)));
        const double inv = 1.0 / area2;
        // Weight of the centre: signed distance to edge ab, scaled; of a and b likewise.
        auto weight = [inv](QPointF p, QPointF q, double px, double py) {
            return ((q.x() - p.x()) * (py - p.y()) - (q.y() - p.y()) * (px - p.x())) * inv;
        };
        constexpr double eps = -1e-7;
        for (int y = y0; y <= y1; ++y) {
            const double py = y + sample;
            // Along a row each weight is affine in x: keep only the span where all three are
            // non-negative, so each pixel is visited by about one triangle.
            double lo = x0, hi = x1;
            for (const auto &[p, q] : {std::pair{e.a, e.b}, {e.b, centre}, {centre, e.a}}) {
                const double at0 = weight(p, q, x0 + sample, py);
                const double slope = -(q.y() - p.y()) * inv;
                if (std::abs(slope) < 1e-12) {
                    if (at0 < eps)
                        hi = lo - 1;
                } else if (slope > 0) {
                    lo = std::max(lo, x0 + (eps - at0) / slope);
                } else {
                    hi = std::min(hi, x0 + (eps - at0) / slope);
                }
            }
            if (hi < lo)
                continue;
            const int from = std::max(x0, int(std::floor(lo)));
            const int to = std::min(x1, int(std::ceil(hi)));
            const int row = (y - box.top()) * box.width();
            const auto *coverage =
                reinterpret_cast<const QRgb *>(mask.constScanLine(y - box.top()));
            auto *line = reinterpret_cast<QRgb *>(out.scanLine(y - box.top()));
            for (int x = from; x <= to; ++x) {
                const int ix = x - box.left();
                if (done[row + ix] != 0 || qAlpha(coverage[ix]) == 0)
                    continue;
                const double px = x + sample;
                const double wc = weight(e.a, e.b, px, py);
                const double wa = weight(e.b, centre, px, py);
                const double wb = weight(centre, e.a, px, py);
                if (wc < eps || wa < eps || wb < eps)
                    continue;
                const float t = float(std::clamp(wc, 0.0, 1.0));
                Premul colour;
                if (uniform) {
                    colour = lut[int(t * kLutSize + 0.5f)];
                } else {
                    const double sum = wa + wb;
                    const float u = sum > 0 ? float(wb / sum) : 0.0f;
                    colour = Mix(Mix(e.ca, e.cb, u), centreColor, t);
                }
                line[ix] = Pack(colour, qAlpha(coverage[ix]));
                done[row + ix] = 1;
            }
        }
    }

    out.setDevicePixelRatio(ratio);
    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(box.topLeft()) / ratio, out);
    painter.restore();
}
