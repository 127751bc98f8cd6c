#pragma once

#include "TGdiplusBase.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>

/// Pixel formats as the flat drawing interface numbers them (only those the decoders give).
enum PixelFormat : std::int32_t {
    PixelFormatUndefined = 0,
    PixelFormat1bppIndexed = 0x00030101,
    PixelFormat4bppIndexed = 0x00030402,
    PixelFormat8bppIndexed = 0x00030803,
    PixelFormat16bppGrayScale = 0x00101004,
    PixelFormat24bppRGB = 0x00021808,
    PixelFormat32bppRGB = 0x00022009,
    PixelFormat32bppARGB = 0x0026200A,
    PixelFormat64bppARGB = 0x0034400D,
};

/// Flag bits inside a PixelFormat value.
inline constexpr std::int32_t PixelFormatIndexed = 0x00010000;
inline constexpr std::int32_t PixelFormatAlpha = 0x00040000;

/// The encoded format an image was decoded from.
enum class ImageFormat { Undefined, Bmp, Png, Jpeg, Gif, Tiff, Icon, Other };

/// A decoded image.
///
/// Decoding goes through Qt's image readers; the first frame of an animation is used. Data
/// that no reader recognises gives UnknownImageFormat; corrupt or truncated data, and declared
/// dimensions too large to allocate (Qt's reader refuses above its allocation limit), give
/// InvalidParameter or OutOfMemory and no image.
class TGPImage : public TGdiplusBase {
public:
    /// Decodes the encoded bytes of an image file.
    explicit TGPImage(const QByteArray &encoded);
    /// Holds a copy of an image that is already decoded (format Undefined).
    explicit TGPImage(const QImage &image);

    /// True when an image was decoded.
    bool HasHandle() const { return !FImage.isNull(); }
    /// Width in pixels; 0 without an image.
    unsigned GetWidth() const;
    /// Height in pixels; 0 without an image.
    unsigned GetHeight() const;
    /// The pixel format of the encoded image as the decoder reports it.
    PixelFormat GetPixelFormat() const { return FPixelFormat; }
    ImageFormat GetRawFormat() const { return FRawFormat; }
    /// The decoded pixels (premultiplied ARGB or an opaque format).
    const QImage &Image() const { return FImage; }

private:
    QImage FImage;
    PixelFormat FPixelFormat = PixelFormatUndefined;
    ImageFormat FRawFormat = ImageFormat::Undefined;
};

/// A decoded image whose pixels can be read.
class TGPBitmap : public TGPImage {
public:
    using TGPImage::TGPImage;

    /// Reads the pixel at (x, y) as straight ARGB; a point outside the image, or no image,
    /// gives InvalidParameter and leaves color alone.
    GpStatus GetPixel(int x, int y, ARGB *color);
};

/// Adjustments applied while an image is drawn; only the colour key is supported.
class TGPImageAttributes : public TGdiplusBase {
public:
    /// Makes every pixel whose red, green and blue each lie between those of low and high
    /// transparent (alpha is not compared).
    GpStatus SetColorKey(ARGB low, ARGB high);
    /// Turns the colour key off.
    GpStatus ClearColorKey();
    /// The image with the adjustments applied.
    QImage Apply(const QImage &image) const;

private:
    bool FKeyed = false;
    ARGB FLow = 0;
    ARGB FHigh = 0;
};
