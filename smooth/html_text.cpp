#include "html_text.h"

#include "TAdvGDIPPicture.h"
#include "TGDIPPictureContainer.h"
#include "TGPGraphics.h"
#include "TGPImage.h"
#include "TImageList.h"
#include "html_markup.h"
#include "text_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

/// A document that never loads anything by itself: only the pictures put into it are found.
class SealedDocument : public QTextDocument {
public:
    SealedDocument() {
        setResourceProvider([](const QUrl &) { return QVariant(); });
    }

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

/// Offsets beyond this put the shadow outside any surface; bounding them keeps the arithmetic
/// of the clip rectangles in range.
constexpr int MaxShadowOffset = 10000;

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

/// The picture an img src names: digits index the image list, anything else names a picture
/// of the container.
QImage FindImage(const QString &source, const THTMLText &text) {
    const QString name = source.trimmed();
    if (name.isEmpty())
        return {};
    bool isIndex = name.size() <= 6;
    for (QChar c : name)
        isIndex = isIndex && c >= u'0' && c <= u'9';
    if (isIndex)
        return text.Images != nullptr ? text.Images->Image(name.toInt()) : QImage();
    if (text.PictureContainer == nullptr)
        return {};
    const TAdvGDIPPicture *picture = text.PictureContainer->FindPicture(name);
    if (picture == nullptr || picture->Empty())
        return {};
    try {
        const std::unique_ptr<TGPImage> image = picture->DecodeImage();
        return image != nullptr ? image->Image() : QImage();
    } catch (const EPictureMemoryError &) {
        return {};
    }
}

} // namespace

THTMLTextLayout::THTMLTextLayout(const THTMLText &text, int width)
    : FDocument(std::make_unique<SealedDocument>()), FTextColor(text.Font.Color),
      FShadowColor(text.ShadowColor),
      FShadowOffset(std::clamp(text.ShadowOffset, -MaxShadowOffset, MaxShadowOffset)) {
    QTextDocument &document = *FDocument;
    document.setUndoRedoEnabled(false);
    document.setDocumentMargin(0);
    document.documentLayout()->setPaintDevice(LayoutDevice());
    // Sized in points on the 96-dpi layout device, so relative font sizes in the markup work.
    QFont font = text.Font.ToQFont();
    font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    document.setDefaultFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);

    int pictures = 0;
    THTMLMarkupOptions markup;
    markup.LinkColor = ToQColor(text.URLColor).name();
    markup.ImageResource = [&](const QString &source) {
        const QImage image = FindImage(source, text);
        if (image.isNull())
            return QString();
        const QString name = QStringLiteral("html-picture:%1").arg(pictures++);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        return name;
    };
    document.setHtml(FilterMarkup(text.Markup, markup));
    document.setTextWidth(std::max(1, width));
}

THTMLTextLayout::~THTMLTextLayout() = default;

QSize THTMLTextLayout::Size() const {
    return QSize(int(std::ceil(FDocument->idealWidth())),
                 int(std::ceil(FDocument->size().height())));
}

QString THTMLTextLayout::AnchorAt(const QPointF &point) const {
    return FDocument->documentLayout()->anchorAt(point);
}

void THTMLTextLayout::Draw(TGPGraphics &graphics, const QRect &box) const {
    if (box.isEmpty())
        return;
    QPainter *painter = graphics.GetDC();
    if (painter == nullptr)
        return;
    const int offset = FShadowColor != clNone ? FShadowOffset : 0;
    // Only what can show is rendered: the box where it meets the surface (and the surface
    // seen from the shadow's place), so a tall text never needs a tall picture.
    const QPaintDevice *device = painter->device();
    QRect view = painter->worldTransform()
                     .inverted()
                     .mapRect(QRectF(0, 0, device->width(), device->height()))
                     .toAlignedRect();
    if (painter->hasClipping())
        view &= painter->clipBoundingRect().toAlignedRect();
    const qreal ratio = device->devicePixelRatioF();

    auto render = [&](const QRect &area) {
        QImage layer((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(ratio);
        layer.fill(Qt::transparent);
        QPainter target(&layer);
        target.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                              QPainter::SmoothPixmapTransform);
        target.translate(box.topLeft() - area.topLeft());
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = QGuiApplication::palette();
        context.palette.setColor(QPalette::Text, ToQColor(FTextColor));
        context.clip = QRectF(area.translated(-box.topLeft()));
        FDocument->documentLayout()->draw(&target, context);
        return layer;
    };

    painter->save();
    painter->setClipRect(box.adjusted(std::min(0, offset), std::min(0, offset), std::max(0, offset),
                                      std::max(0, offset)),
                         Qt::IntersectClip);
    if (offset != 0) {
        const QRect area = box & view.translated(-offset, -offset);
        if (!area.isEmpty()) {
            // The shadow is the text's own coverage in one colour, drawn as one layer so
            // overlapping glyphs do not darken it.
            QImage shadow = render(area);
            QPainter tint(&shadow);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(QRect(QPoint(0, 0), area.size()), ToQColor(FShadowColor));
            tint.end();
            painter->drawImage(area.topLeft() + QPoint(offset, offset), shadow);
        }
    }
    const QRect area = box & view;
    if (!area.isEmpty())
        painter->drawImage(area.topLeft(), render(area));
    painter->restore();
    graphics.ReleaseDC(painter);
}
