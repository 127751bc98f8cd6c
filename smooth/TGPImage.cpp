#include "TGPImage.h"

#include <QBuffer>
#include <QImageReader>

namespace {

ImageFormat FormatFromName(const QByteArray &name) {
    const QByteArray n = name.toLower();
    if (n == "bmp" || n == "dib")
        return ImageFormat::Bmp;
    if (n == "png")
        return ImageFormat::Png;
    if (n == "jpeg" || n == "jpg")
        return ImageFormat::Jpeg;
    if (n == "gif")
        return ImageFormat::Gif;
    if (n == "tif" || n == "tiff")
        return ImageFormat::Tiff;
    if (n == "ico" || n == "cur")
        return ImageFormat::Icon;
    return n.isEmpty() ? ImageFormat::Undefined : ImageFormat::Other;
}

PixelFormat PixelFormatOf(const QImage &image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return PixelFormat1bppIndexed;
    case QImage::Format_Indexed8:
        return image.colorCount() <= 16 ? PixelFormat4bppIndexed : PixelFormat8bppIndexed;
    case QImage::Format_Grayscale16:
        return PixelFormat16bppGrayScale;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return PixelFormat24bppRGB;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return PixelFormat64bppARGB;
    default:
        return image.hasAlphaChannel() ? PixelFormat32bppARGB : PixelFormat32bppRGB;
    }
}

QImage Normalised(const QImage &image) {
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace

TGPImage::TGPImage(const QByteArray &encoded) {
    if (encoded.isEmpty()) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    QBuffer buffer;
    buffer.setData(encoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty()) {
        SetStatus(GpStatus::UnknownImageFormat);
        return;
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull() || decoded.width() <= 0 ||
        decoded.height() <= 0) {
        SetStatus(reader.error() == QImageReader::UnsupportedFormatError
                      ? GpStatus::UnknownImageFormat
                      : GpStatus::InvalidParameter);
        return;
    }
    FRawFormat = FormatFromName(format);
    FPixelFormat = PixelFormatOf(decoded);
    FImage = Normalised(decoded);
    if (FImage.isNull()) // the conversion could not allocate
        SetStatus(GpStatus::OutOfMemory);
}

TGPImage::TGPImage(const QImage &image) {
    if (image.isNull()) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FPixelFormat = PixelFormatOf(image);
    FImage = Normalised(image);
}

unsigned TGPImage::GetWidth() const {
    return FImage.isNull() ? 0u : unsigned(FImage.width());
}

unsigned TGPImage::GetHeight() const {
    return FImage.isNull() ? 0u : unsigned(FImage.height());
}

GpStatus TGPBitmap::GetPixel(int x, int y, ARGB *color) {
    if (color == nullptr || !HasHandle() || x < 0 || y < 0 || x >= Image().width() ||
        y >= Image().height())
        return SetStatus(GpStatus::InvalidParameter);
    *color = qUnpremultiply(Image().pixel(x, y));
    return GpStatus::Ok;
}

GpStatus TGPImageAttributes::SetColorKey(ARGB low, ARGB high) {
    FKeyed = true;
    FLow = low;
    FHigh = high;
    return GpStatus::Ok;
}

GpStatus TGPImageAttributes::ClearColorKey() {
    FKeyed = false;
    return GpStatus::Ok;
}

QImage TGPImageAttributes::Apply(const QImage &image) const {
    if (!FKeyed || image.isNull())
        return image;
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            const QRgb p = line[x];
            if (qRed(p) >= qRed(FLow) && qRed(p) <= qRed(FHigh) && qGreen(p) >= qGreen(FLow) &&
                qGreen(p) <= qGreen(FHigh) && qBlue(p) >= qBlue(FLow) && qBlue(p) <= qBlue(FHigh))
                line[x] = 0;
        }
    }
    return keyed;
}
