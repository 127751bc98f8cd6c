#include "round_rect_path.h"

namespace {

/// Adds segments in double precision, handing 32-bit floats to the path.
struct Outline {
    TGPGraphicsPath &path;

    void Line(double x1, double y1, double x2, double y2) const {
        path.AddLine(float(x1), float(y1), float(x2), float(y2));
    }
    /// A quarter arc in the square of side d at (x, y), start angle clockwise from +x.
    void Arc(double x, double y, double d, double start) const {
        path.AddArc(float(x), float(y), float(d), float(d), float(start), 90.0f);
    }
};

} // namespace

std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(const TGPRectF &rect, int radius,
                                                     TFillRoundingType type) {
    auto path = std::make_unique<TGPGraphicsPath>(FillModeAlternate);
    const Outline o{*path};
    const double x = rect.X, y = rect.Y, w = rect.Width, h = rect.Height;
    const double r = radius;
    const double d = 2.0 * r;
    switch (type) {
    case rtNone:
        o.Line(x, y, x + w, y);
        o.Line(x + w, y, x + w, y + h);
        o.Line(x + w, y + h, x, y + h);
        o.Line(x, y + h, x, y);
        break;
    case rtTop:
        o.Arc(x, y, d, 180);
        o.Line(x + r, y, x + w - r, y);
        o.Arc(x + w - d, y, d, 270);
        o.Line(x + w, y + r, x + w, y + h);
        o.Line(x + w, y + h, x, y + h);
        o.Line(x, y + h, x, y + r);
        break;
    case rtBottom:
        o.Line(x, y, x + w, y);
        o.Line(x + w, y, x + w, y + h - r);
        o.Arc(x + w - d, y + h - d, d, 0);
        o.Line(x + w - r, y + h, x + r, y + h);
        o.Arc(x, y + h - d, d, 90);
        o.Line(x, y + h - r, x, y);
        break;
    case rtBoth:
        o.Arc(x, y, d, 180);
        o.Line(x + r, y, x + w - r, y);
        o.Arc(x + w - d, y, d, 270);
        o.Line(x + w, y + r, x + w, y + h - r);
        o.Arc(x + w - d, y + h - d, d, 0);
        o.Line(x + w - r, y + h, x + r, y + h);
        o.Arc(x, y + h - d, d, 90);
        o.Line(x, y + h - r, x, y + r);
        break;
    case rtLeft:
        o.Arc(x, y, d, 180);
        o.Line(x + r, y, x + w - r, y);
        o.Line(x + w, y, x + w, y + h);
        o.Line(x + w - r, y + h, x + r, y + h);
        o.Arc(x, y + h - d, d, 90);
        o.Line(x, y + h - r, x, y + r);
        break;
    case rtRight:
        o.Line(x, y, x + w - r, y);
        o.Arc(x + w - d, y, d, 270);
        o.Line(x + w, y + r, x + w, y + h - r);
        o.Arc(x + w - d, y + h - d, d, 0);
        o.Line(x + w, y + h, x, y + h);
        o.Line(x, y + h - r, x, y + r);
        break;
    }
    path->CloseFigure();
    return path;
}
