// Feeds arbitrary bytes to a picture: load, size refresh and draw, scaled and colour-keyed.
#include "TAdvGDIPPicture.h"
#include "TGPGraphics.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static int argc = 1;
    static char name[] = "picture_fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    static QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    // Pictures up to Qt's own limit (256 MB) are valid, and keying a 28-megapixel one costs over a
    // minute under coverage instrumentation: keep the fuzzer on small pictures.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(16);
        return true;
    }();
    (void)limited;

    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TAdvGDIPPicture picture;
    picture.LoadFromStream(&stream);
    picture.RefreshSize();
    QPainter painter(&canvas);
    {
        TGPGraphics graphics(&painter);
        picture.Draw(graphics, TRect{0, 0, 64, 64});
        picture.SetTransparent(true);
        picture.Draw(graphics, TRect{3, 3, 10, 10});
    }
    picture.DrawOnCanvas(painter, TRect{0, 0, 32, 32});
    return 0;
}
