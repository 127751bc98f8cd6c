#include "TGPGraphicsPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool Finite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

constexpr double kDegree = std::numbers::pi / 180.0;

} // namespace

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode)
    : FFillMode(fillMode == FillModeWinding ? FillModeWinding : FillModeAlternate) {
    if (fillMode != FillModeAlternate && fillMode != FillModeWinding)
        SetStatus(GpStatus::InvalidParameter);
}

GpStatus TGPGraphicsPath::SetFillMode(FillMode fillMode) {
    if (fillMode != FillModeAlternate && fillMode != FillModeWinding)
        return SetStatus(GpStatus::InvalidParameter);
    FFillMode = fillMode;
    return GpStatus::Ok;
}

void TGPGraphicsPath::AppendPoint(double x, double y, PointType type) {
    FPoints.push_back({static_cast<float>(x), static_cast<float>(y)});
    FTypes.push_back(type);
}

void TGPGraphicsPath::MoveOrJoin(double x, double y) {
    if (FNewFigure) {
        AppendPoint(x, y, Start);
        FNewFigure = false;
        return;
    }
    const TGPPointF &last = FPoints.back();
    if (last.X != static_cast<float>(x) || last.Y != static_cast<float>(y))
        AppendPoint(x, y, Line);
}

void TGPGraphicsPath::AppendBezier(double x1, double y1, double x2, double y2, double x3,
                                   double y3) {
    AppendPoint(x1, y1, Bezier);
    AppendPoint(x2, y2, Bezier);
    AppendPoint(x3, y3, Bezier);
}

GpStatus TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    if (!Finite({x1, y1, x2, y2}))
        return SetStatus(GpStatus::InvalidParameter);
    MoveOrJoin(x1, y1);
    AppendPoint(x2, y2, Line);
    return GpStatus::Ok;
}

GpStatus TGPGraphicsPath::AddLines(const TGPPointF *points, int count) {
    if (points == nullptr || count <= 0)
        return SetStatus(GpStatus::InvalidParameter);
    for (int i = 0; i < count; ++i)
        if (!Finite({points[i].X, points[i].Y}))
            return SetStatus(GpStatus::InvalidParameter);
    MoveOrJoin(points[0].X, points[0].Y);
    for (int i = 1; i < count; ++i)
        AppendPoint(points[i].X, points[i].Y, Line);
    return GpStatus::Ok;
}

GpStatus TGPGraphicsPath::AddArc(float x, float y, float width, float height, float startAngle,
                                 float sweepAngle) {
    if (!Finite({x, y, width, height, startAngle, sweepAngle}) || width <= 0 || height <= 0)
        return SetStatus(GpStatus::InvalidParameter);
    const double rx = width / 2.0;
    const double ry = height / 2.0;
    const double cx = x + rx;
    const double cy = y + ry;
    const double sweep = std::clamp(static_cast<double>(sweepAngle), -360.0, 360.0);

    // The angles are geometric (the direction seen from the centre), so on an ellipse they map
    // to the parametric angle phi of the point (rx cos phi, ry sin phi) in the same direction.
    auto parametric = [&](double degrees) {
        const double a = degrees * kDegree;
        double phi = std::atan2(rx * std::sin(a), ry * std::cos(a));
        phi += 2 * std::numbers::pi * std::round((a - phi) / (2 * std::numbers::pi));
        return phi;
    };
    // Each angle maps into its own quadrant, so the difference keeps the sweep's turn count.
    const double phiStart = parametric(startAngle);
    const double total = parametric(startAngle + sweep) - phiStart;

    auto pointAt = [&](double phi) {
        return std::pair{cx + rx * std::cos(phi), cy + ry * std::sin(phi)};
    };
    const auto [sx, sy] = pointAt(phiStart);
    MoveOrJoin(sx, sy);
    const int pieces =
        std::max(1, static_cast<int>(std::ceil(std::abs(total) / (std::numbers::pi / 2) - 1e-9)));
    const double step = total / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < pieces; ++i) {
        const double a0 = phiStart + step * i;
        const double a1 = a0 + step;
        const auto [x0, y0] = pointAt(a0);
        const auto [x3, y3] = pointAt(a1);
        AppendBezier(x0 - k * rx * std::sin(a0), y0 + k * ry * std::cos(a0),
                     x3 + k * rx * std::sin(a1), y3 - k * ry * std::cos(a1), x3, y3);
    }
    return GpStatus::Ok;
}

GpStatus TGPGraphicsPath::AddEllipse(float x, float y, float width, float height) {
    if (!Finite({x, y, width, height}))
        return SetStatus(GpStatus::InvalidParameter);
    if (width <= 0 || height <= 0)
        return GpStatus::Ok;
    FNewFigure = true;
    AddArc(x, y, width, height, 0, 360);
    return CloseFigure();
}

GpStatus TGPGraphicsPath::AddRectangle(const TGPRectF &r) {
    if (!Finite({r.X, r.Y, r.Width, r.Height}))
        return SetStatus(GpStatus::InvalidParameter);
    if (r.Width <= 0 || r.Height <= 0)
        return GpStatus::Ok;
    FNewFigure = true;
    MoveOrJoin(r.X, r.Y);
    AppendPoint(double(r.X) + r.Width, r.Y, Line);
    AppendPoint(double(r.X) + r.Width, double(r.Y) + r.Height, Line);
    AppendPoint(r.X, double(r.Y) + r.Height, Line);
    return CloseFigure();
}

GpStatus TGPGraphicsPath::CloseFigure() {
    if (!FTypes.empty() && !FNewFigure)
        FTypes.back() |= CloseSubpath;
    FNewFigure = true;
    return GpStatus::Ok;
}

GpStatus TGPGraphicsPath::StartFigure() {
    FNewFigure = true;
    return GpStatus::Ok;
}

QPainterPath TGPGraphicsPath::ToQPainterPath() const {
    QPainterPath path;
    path.setFillRule(FFillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    for (std::size_t i = 0; i < FPoints.size(); ++i) {
        const QPointF p(FPoints[i].X, FPoints[i].Y);
        switch (FTypes[i] & 0x7F) {
        case Start:
            path.moveTo(p);
            break;
        case Bezier:
            if (i + 2 < FPoints.size()) {
                path.cubicTo(p, QPointF(FPoints[i + 1].X, FPoints[i + 1].Y),
                             QPointF(FPoints[i + 2].X, FPoints[i + 2].Y));
                i += 2;
            }
            break;
        default:
            path.lineTo(p);
            break;
        }
        if ((FTypes[i] & CloseSubpath) != 0)
            path.closeSubpath();
    }
    return path;
}

std::vector<TGPGraphicsPath::FlatFigure> TGPGraphicsPath::Flatten(float tolerance) const {
    std::vector<FlatFigure> figures;
    const double tol = std::max(0.01f, tolerance);
    for (std::size_t i = 0; i < FPoints.size(); ++i) {
        const TGPPointF &p = FPoints[i];
        const std::uint8_t type = FTypes[i] & 0x7F;
        if (type == Start || figures.empty())
            figures.emplace_back();
        FlatFigure &fig = figures.back();
        if (type == Bezier && i + 2 < FPoints.size() && !fig.points.empty()) {
            const TGPPointF p0 = fig.points.back();
            const TGPPointF &p1 = p, &p2 = FPoints[i + 1], &p3 = FPoints[i + 2];
            // The second differences bound how far a chord strays from the curve.
            const double dx =
                std::max(std::abs(p0.X - 2 * p1.X + p2.X), std::abs(p1.X - 2 * p2.X + p3.X));
            const double dy =
                std::max(std::abs(p0.Y - 2 * p1.Y + p2.Y), std::abs(p1.Y - 2 * p2.Y + p3.Y));
            const double spread = std::hypot(dx, dy);
            const int n =
                std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * spread / tol))), 1, 256);
            for (int s = 1; s <= n; ++s) {
                const double t = double(s) / n, u = 1 - t;
                const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
                fig.points.push_back({float(b0 * p0.X + b1 * p1.X + b2 * p2.X + b3 * p3.X),
                                      float(b0 * p0.Y + b1 * p1.Y + b2 * p2.Y + b3 * p3.Y)});
                fig.sourceIndex.push_back(float(double(i) - 1 + 3 * t));
            }
            i += 2;
            continue;
        }
        fig.points.push_back(p);
        fig.sourceIndex.push_back(float(i));
    }
    return figures;
}
