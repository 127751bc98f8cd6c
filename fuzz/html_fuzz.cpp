// Feeds arbitrary bytes to the HTML text renderer as markup: layout in a width taken from the
// input, measure, draw with a shadow, and the link under a few points.
#include "TGDIPPictureContainer.h"
#include "TGPGraphics.h"
#include "TImageList.h"
#include "html_text.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static int argc = 1;
    static char name[] = "html_fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    static QImage canvas(96, 64, QImage::Format_ARGB32_Premultiplied);
    static TImageList images;
    static TGDIPPictureContainer pictures;
    if (images.Count() == 0) {
        QImage dot(6, 6, QImage::Format_ARGB32);
        dot.fill(Qt::red);
        images.Add(dot);
        pictures.Add(QStringLiteral("logo"), dot);
    }
    if (size == 0)
        return 0;

    THTMLText text;
    text.Markup = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    text.ShadowColor = clGray;
    text.ShadowOffset = (data[0] & 3) - 1;
    text.Images = &images;
    text.PictureContainer = &pictures;
    const int width = 1 + data[0];
    const THTMLTextLayout layout(text, width);
    const QSize extent = layout.Size();
    QPainter painter(&canvas);
    {
        TGPGraphics graphics(&painter);
        layout.Draw(graphics, QRect(QPoint(2, 2), extent));
    }
    for (const QPointF point : {QPointF(1, 1), QPointF(extent.width() / 2.0, extent.height() / 2.0),
                                QPointF(extent.width() - 1, extent.height() - 1)})
        (void)layout.AnchorAt(point);
    return 0;
}
