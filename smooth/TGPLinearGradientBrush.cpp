#include "TGPLinearGradientBrush.h"

#include "gamma.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

bool Finite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// Enough stops that neighbouring gamma-corrected colours differ by at most a step or two.
constexpr int kGammaStops = 256;

QColor GammaMix(ARGB a, ARGB b, double t) {
    auto channel = [t](int ca, int cb) {
        const double linear =
            ChannelToLinear(std::uint8_t(ca)) * (1 - t) + ChannelToLinear(std::uint8_t(cb)) * t;
        return LinearToChannel(linear);
    };
    const int alpha = static_cast<int>(std::lround(qAlpha(a) * (1 - t) + qAlpha(b) * t));
    return QColor(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                  channel(qBlue(a), qBlue(b)), alpha);
}

} // namespace

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF &point1, const TGPPointF &point2,
                                               ARGB color1, ARGB color2)
    : FStart(point1), FEnd(point2), FColor1(color1), FColor2(color2) {
    if (!Finite({point1.X, point1.Y, point2.X, point2.Y}) ||
        (point1.X == point2.X && point1.Y == point2.Y)) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    SetHandle(true);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF &rect, ARGB color1, ARGB color2,
                                               LinearGradientMode mode)
    : FColor1(color1), FColor2(color2) {
    static constexpr std::array<double, 4> kModeAngles{0, 90, 45, 135};
    if (mode < LinearGradientModeHorizontal || mode > LinearGradientModeBackwardDiagonal) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    InitFromRect(rect, kModeAngles[mode], true);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF &rect, ARGB color1, ARGB color2,
                                               float angle, bool isAngleScalable)
    : FColor1(color1), FColor2(color2) {
    if (!std::isfinite(angle)) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    InitFromRect(rect, angle, isAngleScalable);
}

void TGPLinearGradientBrush::InitFromRect(const TGPRectF &rect, double angleDegrees,
                                          bool scalable) {
    if (!Finite({rect.X, rect.Y, rect.Width, rect.Height}) || rect.Width <= 0 || rect.Height <= 0) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    const double w = rect.Width, h = rect.Height;
    double theta = std::fmod(angleDegrees, 360.0);
    if (theta < 0)
        theta += 360.0;
    double beta = theta;
    if (scalable && theta != 90.0 && theta != 270.0) {
        // Stretch the direction with the rectangle: tan(beta) = (w / h) tan(theta), keeping
        // the quadrant by working in (-90, 90) and adding the half turns back.
        double reduced = theta;
        double halfTurns = 0;
        while (reduced >= 90.0) {
            reduced -= 180.0;
            halfTurns += 180.0;
        }
        const double r = reduced * std::numbers::pi / 180.0;
        beta = std::atan(w / h * std::tan(r)) * 180.0 / std::numbers::pi + halfTurns;
    }
    const double b = beta * std::numbers::pi / 180.0;
    const double dx = std::cos(b), dy = std::sin(b);
    const double length = w * std::abs(dx) + h * std::abs(dy);
    // Start from the corner that lies furthest back along the direction.
    const std::array<std::pair<double, double>, 4> corners{
        {{rect.X, rect.Y}, {rect.X + w, rect.Y}, {rect.X, rect.Y + h}, {rect.X + w, rect.Y + h}}};
    auto start = corners[0];
    for (const auto &c : corners)
        if (c.first * dx + c.second * dy < start.first * dx + start.second * dy - 1e-9)
            start = c;
    FStart = {float(start.first), float(start.second)};
    FEnd = {float(start.first + length * dx), float(start.second + length * dy)};
    SetHandle(true);
}

GpStatus TGPLinearGradientBrush::SetWrapMode(WrapMode wrapMode) {
    if (wrapMode < WrapModeTile || wrapMode > WrapModeTileFlipXY)
        return SetStatus(GpStatus::InvalidParameter);
    FWrap = wrapMode;
    return GpStatus::Ok;
}

GpStatus TGPLinearGradientBrush::SetGammaCorrection(bool useGammaCorrection) {
    FGamma = useGammaCorrection;
    return GpStatus::Ok;
}

QBrush TGPLinearGradientBrush::QtBrush(const QTransform &) const {
    QLinearGradient gradient(QPointF(FStart.X, FStart.Y), QPointF(FEnd.X, FEnd.Y));
    gradient.setSpread(FWrap == WrapModeTile ? QGradient::RepeatSpread : QGradient::ReflectSpread);
    if (FGamma) {
        QGradientStops stops;
        stops.reserve(kGammaStops);
        for (int i = 0; i < kGammaStops; ++i) {
            const double t = double(i) / (kGammaStops - 1);
            stops.append({t, GammaMix(FColor1, FColor2, t)});
        }
        gradient.setStops(stops);
    } else {
        gradient.setColorAt(0, QColor::fromRgba(FColor1));
        gradient.setColorAt(1, QColor::fromRgba(FColor2));
    }
    return gradient;
}
