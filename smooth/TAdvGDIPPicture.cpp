#include "TAdvGDIPPicture.h"

#include "TGPGraphics.h"
#include "TGPImage.h"
#include "color_conversion.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <memory>
#include <new>

namespace {

/// Decodes bytes through a buffer of their own, as the decoder is handed a separate block.
template <typename Image> std::unique_ptr<Image> Decode(const QByteArray &bytes) {
    std::unique_ptr<char[]> block(new (std::nothrow) char[std::size_t(bytes.size())]);
    if (!block)
        throw EPictureMemoryError();
    std::memcpy(block.get(), bytes.constData(), std::size_t(bytes.size()));
    return std::make_unique<Image>(QByteArray::fromRawData(block.get(), bytes.size()));
}

int BitsOf(int pixelFormat) {
    return (pixelFormat >> 8) & 0xFF;
}

} // namespace

void TAdvGDIPPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

void TAdvGDIPPicture::RefreshSize() {
    if (FEmpty || FData.isEmpty())
        return;
    const auto image = Decode<TGPImage>(FData);
    FWidth = int(image->GetWidth());
    FHeight = int(image->GetHeight());
}

std::unique_ptr<TGPImage> TAdvGDIPPicture::DecodeImage() const {
    if (FEmpty || FData.isEmpty())
        return nullptr;
    return Decode<TGPImage>(FData);
}

void TAdvGDIPPicture::Draw(TGPGraphics &graphics, const TRect &d) {
    if (FEmpty || FData.isEmpty())
        return;
    const auto image = Decode<TGPBitmap>(FData);
    FIsAlpha = (image->GetPixelFormat() & PixelFormatAlpha) != 0;
    FIsPalette = (image->GetPixelFormat() & PixelFormatIndexed) != 0;
    FPixelFormat = image->GetPixelFormat();
    FBitsPerPixel = BitsOf(FPixelFormat);
    FWidth = int(image->GetWidth());
    FHeight = int(image->GetHeight());
    if (!image->HasHandle())
        return;

    if (image->GetRawFormat() == ImageFormat::Bmp && FTransparent) {
        ARGB key = ColorToARGB(255, FTransparentColor);
        if (FTransparentMode == tmAuto)
            image->GetPixel(0, FHeight - 1, &key);
        TGPImageAttributes attributes;
        attributes.SetColorKey(key, key);
        graphics.DrawImage(image.get(),
                           TGPRectF{float(d.Left), float(d.Top), float(FWidth), float(FHeight)}, 0,
                           0, float(FWidth), float(FHeight), UnitPixel, &attributes);
        return;
    }
    graphics.DrawImage(image.get(), float(d.Left), float(d.Top), float(d.Right - d.Left),
                       float(d.Bottom - d.Top));
}

void TAdvGDIPPicture::DrawOnCanvas(QPainter &canvas, const TRect &rect) {
    if (FEmpty || FData.isEmpty())
        return;
    const auto image = Decode<TGPBitmap>(FData);
    if (!image->HasHandle())
        return;
    if (image->GetRawFormat() == ImageFormat::Bmp) {
        ARGB key = 0;
        image->GetPixel(0, int(image->GetHeight()) - 1, &key);
        TGPImageAttributes attributes;
        attributes.SetColorKey(key, key);
        canvas.drawImage(QPoint(rect.Left, rect.Top), attributes.Apply(image->Image()));
        return;
    }
    TGPGraphics graphics(&canvas);
    graphics.DrawImage(image.get(), float(rect.Left), float(rect.Top),
                       float(rect.Right - rect.Left), float(rect.Bottom - rect.Top));
}

void TAdvGDIPPicture::StoreBytes(const QByteArray &bytes) {
    FData = bytes;
    FEmpty = false;
    RefreshSize();
}

void TAdvGDIPPicture::LoadFromStream(QIODevice *stream) {
    if (stream == nullptr)
        return;
    const QByteArray bytes = stream->readAll();
    if (bytes.isEmpty())
        return;
    StoreBytes(bytes);
    Changed();
}

void TAdvGDIPPicture::SaveToStream(QIODevice *stream) const {
    if (stream != nullptr && !FData.isEmpty())
        stream->write(FData);
}

void TAdvGDIPPicture::ReadData(const QByteArray &data) {
    if (!data.isEmpty())
        StoreBytes(data);
}

void TAdvGDIPPicture::Assign(const TAdvGDIPPicture *source) {
    if (source == this)
        return;
    FEmpty = true;
    if (source == nullptr) {
        FData.clear();
        FWidth = FHeight = 0;
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    FData = source->FData;
    if (!FData.isEmpty()) {
        FEmpty = false;
        RefreshSize();
        Changed();
    } else {
        FWidth = FHeight = 0;
    }
}

void TAdvGDIPPicture::Assign(const QImage &source) {
    if (source.isNull()) {
        Assign(static_cast<const TAdvGDIPPicture *>(nullptr));
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    FEmpty = true;
    if (!source.save(&buffer, "PNG") || bytes.isEmpty())
        return;
    StoreBytes(bytes);
    Changed();
}
