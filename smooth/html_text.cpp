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
#include <QPixmap>
#include <QTextDocument>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>

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

/// The pictures of one layout. Each distinct picture is looked up and decoded once and put into
/// the document once, under one name that every img naming it shares; a picture that cannot be
/// had is remembered too. All of them together hold at most MaxPicturePixels: a picture that
/// would pass that is left out, so no markup can make a layout hold more.
class PictureResources {
public:
    PictureResources(const THTMLText &text, QTextDocument &document)
        : FText(text), FDocument(document) {}

    /// The resource name for an img src: digits index the image list, anything else names a
    /// picture of the container. Empty when there is no such picture or it does not fit.
    QString Resource(const QString &source) {
        const QString name = source.trimmed();
        if (name.isEmpty())
            return {};
        bool isIndex = name.size() <= 6;
        for (QChar c : name)
            isIndex = isIndex && c >= u'0' && c <= u'9';
        if (isIndex) {
            const int index = name.toInt();
            if (const auto known = FListed.find(index); known != FListed.end())
                return known->second;
            return FListed[index] =
                       Add(FText.Images != nullptr ? FText.Images->Image(index) : QImage());
        }
        if (FText.PictureContainer == nullptr)
            return {};
        const TAdvGDIPPicture *picture = FText.PictureContainer->FindPicture(name);
        if (picture == nullptr || picture->Empty())
            return {};
        if (const auto known = FNamed.find(picture); known != FNamed.end())
            return known->second;
        return FNamed[picture] = Add(Decode(*picture));
    }

private:
    /// The decoded picture, or a null image when it cannot be decoded or its recorded size
    /// already tells that it does not fit (then it is not decoded at all).
    QImage Decode(const TAdvGDIPPicture &picture) const {
        if (!Fits(picture.Width(), picture.Height()))
            return {};
        try {
            const std::unique_ptr<TGPImage> image = picture.DecodeImage();
            return image != nullptr ? image->Image() : QImage();
        } catch (const EPictureMemoryError &) {
            return {};
        }
    }

    bool Fits(qint64 width, qint64 height) const {
        return width * height <= THTMLMarkupLimits::MaxPicturePixels - FPixels;
    }

    QString Add(const QImage &image) {
        if (image.isNull() || !Fits(image.width(), image.height()))
            return {};
        FPixels += qint64(image.width()) * image.height();
        const QString name = QStringLiteral("html-picture:%1").arg(FCount++);
        // The engine draws a document's pictures as pixmaps and converts an image afresh for
        // every img at every layout and draw; a pixmap made once spares that. Pixmaps belong
        // to the GUI thread, so elsewhere the image is kept.
        const bool guiThread = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
                               QThread::currentThread() == QCoreApplication::instance()->thread();
        FDocument.addResource(QTextDocument::ImageResource, QUrl(name),
                              guiThread ? QVariant(QPixmap::fromImage(image)) : QVariant(image));
        return name;
    }

    const THTMLText &FText;
    QTextDocument &FDocument;
    std::map<int, QString> FListed;
    std::map<const TAdvGDIPPicture *, QString> FNamed;
    qint64 FPixels = 0;
    int FCount = 0;
};

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

    PictureResources pictures(text, document);
    THTMLMarkupOptions markup;
    markup.LinkColor = ToQColor(text.URLColor).name();
    markup.ImageResource = [&pictures](const QString &source) { return pictures.Resource(source); };
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
