// Median times of the header panel's painting, on a fresh 258 x 43 surface each run as a paint
// would make it: the shadow's path-gradient fill alone, and the whole fill (shadow, body,
// border) through TGDIPFill::DrawFill.
#include "TGDIPFill.h"
#include "TGPGraphics.h"
#include "TGPPathGradientBrush.h"
#include "bench_rows.h"
#include "gdiplus_lifetime.h"
#include "round_rect_path.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 2000;

/// Runs paint kRuns times on a cleared canvas, prints the median and 90th percentile and a
/// table row against `targetMs`.
void Measure(const char *what, double targetMs, const std::function<void(TGPGraphics &)> &paint) {
    QImage canvas(258, 43, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> micros;
    micros.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        canvas.fill(QColor(189, 216, 244));
        QPainter painter(&canvas);
        TGPGraphics graphics(&painter);
        const auto start = std::chrono::steady_clock::now();
        paint(graphics);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%s: median %.1f us, p90 %.1f us over %d runs\n", what, micros[micros.size() / 2],
                micros[micros.size() * 9 / 10], kRuns);
    std::vector<double> millis;
    for (const double us : micros)
        millis.push_back(us / 1000);
    char target[32];
    std::snprintf(target, sizeof target, "<= %g", targetMs);
    bench::PrintRow(std::string("paint: ") + what + " (ms)", millis, target,
                    [targetMs](double v) { return v <= targetMs; });
}

} // namespace

int main(int argc, char **argv) {
    std::uintptr_t token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    QGuiApplication app(argc, argv);

    Measure("path-gradient shadow fill 258 x 43", 0.5, [](TGPGraphics &graphics) {
        const ARGB colours[3] = {0x00000000, 0xB4808080, 0xB4808080};
        const float positions[3] = {0, 0.1f, 1};
        const auto path = CreateRoundRectPath({0, 0, 257, 42}, 3, rtBoth);
        TGPPathGradientBrush brush(*path);
        brush.SetWrapMode(WrapModeClamp);
        brush.SetInterpolationColors(colours, positions, 3);
        graphics.FillPath(&brush, path.get());
    });

    TGDIPFill header;
    header.SetColor(10092543);
    header.SetColorTo(52479);
    header.SetGradientMirrorType(gtVertical);
    header.SetBorderColor(7042912);
    header.SetRounding(3);
    header.SetShadowOffset(5);
    Measure("header DrawFill (shadow, body, border) 258 x 43", 1.0,
            [&header](TGPGraphics &graphics) {
                header.DrawFill(graphics, {0, 0, 257, 42});
            });

    GdiplusShutdown(token);
    return 0;
}
