// Median time of the panel shadow's path-gradient fill: the rounded 258 x 43 outline with the
// three-stop preset blend, on a fresh surface each time as a paint would make it.
#include "TGPGraphics.h"
#include "TGPGraphicsPath.h"
#include "TGPPathGradientBrush.h"
#include "gdiplus_lifetime.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

void AddRoundRect(TGPGraphicsPath &path, float x, float y, float w, float h, float r) {
    const float d = 2 * r;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddLine(x + r, y, x + w - r, y);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddLine(x + w, y + r, x + w, y + h - r);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddLine(x + w - r, y + h, x + r, y + h);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.AddLine(x, y + h - r, x, y + r);
    path.CloseFigure();
}

} // namespace

int main(int argc, char **argv) {
    std::uintptr_t token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    QGuiApplication app(argc, argv);
    QImage canvas(258, 43, QImage::Format_ARGB32_Premultiplied);
    const ARGB colours[3] = {0x00000000, 0xB4808080, 0xB4808080};
    const float positions[3] = {0, 0.1f, 1};

    constexpr int kRuns = 2000;
    std::vector<double> micros;
    micros.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        TGPGraphics graphics(&painter);
        const auto start = std::chrono::steady_clock::now();
        TGPGraphicsPath path;
        AddRoundRect(path, 0, 0, 257, 42, 3);
        TGPPathGradientBrush brush(path);
        brush.SetWrapMode(WrapModeClamp);
        brush.SetInterpolationColors(colours, positions, 3);
        graphics.FillPath(&brush, &path);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("path-gradient shadow fill 258 x 43: median %.1f us, p90 %.1f us over %d runs\n",
                micros[micros.size() / 2], micros[micros.size() * 9 / 10], kRuns);
    GdiplusShutdown(token);
    return 0;
}
