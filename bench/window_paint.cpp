// Median times of a full offscreen paint of the window (every control, as `grab` renders it)
// and of its skinned progress bar alone at 50 %.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/window_paint
#include "Unit1.h"
#include "bench_rows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

/// Milliseconds of `runs` calls of `paint`, one value per call.
std::vector<double> Time(int runs, const std::function<void()> &paint) {
    std::vector<double> millis;
    millis.reserve(std::size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        paint();
        millis.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return millis;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    TForm1 form;
    form.ProgressBar1->SetPosition(50);
    const auto window = Time(300, [&form] { (void)form.grab(); });
    const auto bar = Time(2000, [&form] { (void)form.ProgressBar1->grab(); });
    // A full repaint fits in one 60 Hz frame; the bar is repainted once per frame while the
    // download runs, so it gets a small share of one.
    bench::PrintRow("paint: whole window offscreen (ms)", window, "<= 16",
                    [](double v) { return v <= 16; });
    bench::PrintRow("paint: progress bar at 50 % (ms)", bar, "<= 1",
                    [](double v) { return v <= 1; });
    return 0;
}
