// What the gradient controls cost on content far beyond the window's: HTML text naming one large
// picture many times, very long captions, and mouse moves over a panel's HTML text. Each
// scenario runs in a process of its own so that its peak resident size is its own.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/gradient_bounds pictures 200
//   QT_QPA_PLATFORM=offscreen build/release/bench/gradient_bounds caption 102400
//   QT_QPA_PLATFORM=offscreen build/release/bench/gradient_bounds caption 102400 wrap
//   QT_QPA_PLATFORM=offscreen build/release/bench/gradient_bounds moves 20
#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanel.h"
#include "TGDIPPictureContainer.h"
#include "TGPGraphics.h"
#include "bench_rows.h"
#include "html_text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

/// Milliseconds of each of `runs` calls of `work`.
std::vector<double> Time(int runs, const std::function<void()> &work) {
    std::vector<double> millis;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        millis.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return millis;
}

/// The process's peak resident size so far, in MiB.
double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void Report(const std::string &name, const std::vector<double> &millis, double targetMs,
            double peakBefore) {
    char target[32];
    std::snprintf(target, sizeof target, "<= %g", targetMs);
    bench::PrintRow(name + " (ms)", millis, target, [targetMs](double v) { return v <= targetMs; });
    std::printf("%s: peak RSS %.0f MiB (%.0f MiB before the scenario)\n", name.c_str(), PeakMiB(),
                peakBefore);
}

TFont Font(int height) {
    TFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Height = height;
    return font;
}

/// A 1000 x 1000 picture that does not compress to nothing.
QImage LargePicture() {
    QImage image(1000, 1000, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF, 255));
    return image;
}

/// `count` references to one container picture, each shown at 24 x 24: time per layout
/// (measure and draw into a 256 x 128 surface).
void Pictures(int count) {
    const double before = PeakMiB();
    TGDIPPictureContainer pictures;
    pictures.Add(QStringLiteral("big"), LargePicture());
    THTMLText text;
    text.Markup = QStringLiteral("<img src=\"big\" width=\"24\" height=\"24\"> ").repeated(count);
    text.Font = Font(-11);
    text.PictureContainer = &pictures;
    QImage surface(256, 128, QImage::Format_ARGB32_Premultiplied);
    const auto millis = Time(5, [&] {
        const THTMLTextLayout layout(text, 256);
        surface.fill(Qt::white);
        QPainter painter(&surface);
        TGPGraphics graphics(&painter);
        layout.Draw(graphics, QRect(QPoint(0, 0), layout.Size()));
    });
    Report("html: " + std::to_string(count) + " references to a 1000 x 1000 picture, per layout",
           millis, 100, before);
}

/// A 280 x 50 label with `length` characters of mixed Latin and Persian text: time per paint.
void Caption(int length, bool wrap) {
    const double before = PeakMiB();
    const QString sentence = QStringLiteral("Zorvane Online Sardel \u0628\u0647\u200C\u0631\u0648"
                                            "\u0632\u0631\u0633\u0627\u0646\u06CC ");
    QString caption = sentence.repeated(length / sentence.size() + 1);
    caption.truncate(length);
    TAdvSmoothLabel label;
    label.Caption().SetFont(Font(-16));
    label.Caption().SetText(caption);
    label.SetWordWrap(wrap);
    QImage surface(label.size(), QImage::Format_ARGB32_Premultiplied);
    const auto millis = Time(length > 200000 ? 1 : 3, [&] {
        surface.fill(Qt::white);
        QPainter painter(&surface);
        TGPGraphics graphics(&painter);
        label.Paint(graphics);
    });
    // Placing the text needs its whole width, so a paint stays linear in the text's length;
    // only what can show is drawn. 5 ms per 1,000 characters at most.
    Report("caption: " + std::to_string(length) + " characters" + (wrap ? ", wrapped" : "") +
               " in 280 x 50, per paint",
           millis, length / 200.0, before);
}

/// Mouse moves over a 256 x 128 panel whose HTML text holds `count` pictures and a link.
void Moves(int count) {
    const double before = PeakMiB();
    TGDIPPictureContainer pictures;
    for (int i = 0; i < count; ++i) {
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(QColor::fromHsv(i * 17 % 360, 200, 200));
        pictures.Add(QStringLiteral("p%1").arg(i), image);
    }
    QString markup = QStringLiteral("<a href=\"go\">link</a> ");
    for (int i = 0; i < count; ++i)
        markup += QStringLiteral("<img src=\"p%1\" width=\"10\" height=\"10\"> word ").arg(i);
    TAdvSmoothPanel panel;
    panel.SetPictureContainer(&pictures);
    panel.Caption().SetHTMLFont(Font(-11));
    panel.Caption().SetHTMLLocation(plTopLeft);
    panel.Caption().SetHTMLText(markup);
    (void)panel.grab();
    // Points spread over the laid-out text, where every move asks for the link under it.
    const TRect area = panel.HTMLRect();
    const int columns = std::max(1, area.Right - area.Left);
    const int rows = std::max(1, area.Bottom - area.Top);
    int step = 0;
    const auto millis = Time(200, [&] {
        const QPointF at(area.Left + (step * 37) % columns, area.Top + (step * 11) % rows);
        ++step;
        QMouseEvent move(QEvent::MouseMove, at, panel.mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &move);
    });
    Report("panel: mouse move over HTML text with " + std::to_string(count) + " pictures", millis,
           1, before);
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    const char *scenario = argc > 1 ? argv[1] : "";
    const int amount = argc > 2 ? std::atoi(argv[2]) : 0;
    if (std::strcmp(scenario, "pictures") == 0 && amount > 0)
        Pictures(amount);
    else if (std::strcmp(scenario, "caption") == 0 && amount > 0)
        Caption(amount, argc > 3 && std::strcmp(argv[3], "wrap") == 0);
    else if (std::strcmp(scenario, "moves") == 0 && amount >= 0)
        Moves(amount);
    else {
        std::fprintf(stderr, "usage: gradient_bounds pictures N | caption CHARS [wrap] | moves N\n");
        return 2;
    }
    return 0;
}
