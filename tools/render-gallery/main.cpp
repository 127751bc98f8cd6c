// render-gallery [--scale FACTOR] OUTDIR [NAME...]
// Renders every registered sample (or only the named ones) offscreen to OUTDIR/NAME.png.
// --scale renders as on a display at that scale (1.25, 1.5, 2 for 125 %, 150 %, 200 %): the
// pictures have FACTOR times as many pixels in each direction.
#include "gallery.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
    // The scale must be in the environment before the application object reads it.
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--scale") == 0) {
        char *end = nullptr;
        const double scale = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != '\0' || !(scale >= 0.5 && scale <= 8)) {
            std::fprintf(stderr, "render-gallery: --scale wants a factor from 0.5 to 8\n");
            return 2;
        }
        qputenv("QT_SCALE_FACTOR", argv[2]);
        first = 3;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: render-gallery [--scale FACTOR] OUTDIR [NAME...]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QDir out(args.at(first));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render-gallery: cannot create %s\n", qPrintable(args.at(first)));
        return 1;
    }
    const QStringList wanted = args.mid(first + 1);
    int written = 0;
    int failed = 0;
    for (const GallerySample &sample : GallerySamples()) {
        if (!wanted.isEmpty() && !wanted.contains(sample.Name))
            continue;
        const QString path = out.filePath(sample.Name + QStringLiteral(".png"));
        const QImage image = sample.Render();
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "render-gallery: cannot render %s\n", qPrintable(path));
            ++failed;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
        ++written;
    }
    if (written == 0 && failed == 0) {
        std::fprintf(stderr, "render-gallery: no sample matches\n");
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
