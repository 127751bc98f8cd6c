// render-gallery OUTDIR [NAME...]
// Renders every registered sample (or only the named ones) offscreen to OUTDIR/NAME.png.
#include "gallery.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: render-gallery OUTDIR [NAME...]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render-gallery: cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QStringList wanted = args.mid(2);
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
