#pragma once

#include "gdiplus_types.h"

#include "TColor.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <stdexcept>

class QImage;
class QIODevice;
class QPainter;
class TGPGraphics;
class TGPImage;

/// Raised when the buffer that hands a picture's bytes to the decoder cannot be allocated.
/// A paint that asked for the picture catches it and draws nothing for that picture.
class EPictureMemoryError : public std::runtime_error {
public:
    EPictureMemoryError() : std::runtime_error("Could not allocate memory for image") {}
};

/// How a transparent BMP picture finds its key colour.
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

/// A picture kept as the bytes of an encoded image file (BMP, PNG, JPEG, GIF and whatever
/// else Qt's readers decode), decoded afresh at each use.
///
/// Width and height are those found by the last decode (0 when it failed). Corrupt bytes
/// never throw: they decode to nothing and draw nothing.
class TAdvGDIPPicture {
public:
    TAdvGDIPPicture() = default;
    TAdvGDIPPicture(const TAdvGDIPPicture &) = delete;
    TAdvGDIPPicture &operator=(const TAdvGDIPPicture &) = delete;

    bool Empty() const { return FEmpty; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    /// The encoded bytes as loaded (the persisted Data property).
    const QByteArray &Data() const { return FData; }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { FTransparent = value; }
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value) { FTransparentMode = value; }
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor value) { FTransparentColor = value; }

    /// Facts recorded by the last draw on a surface.
    bool IsAlpha() const { return FIsAlpha; }
    bool IsPalette() const { return FIsPalette; }
    int BitsPerPixel() const { return FBitsPerPixel; }
    int PixelFormatValue() const { return FPixelFormat; }

    /// Decodes the stored bytes and records width and height.
    /// \throws EPictureMemoryError when the decode buffer cannot be allocated.
    void RefreshSize();
    /// Decodes the stored bytes into an image of the caller's (for a texture brush); null when
    /// the picture is empty. Records nothing on the picture.
    /// \throws EPictureMemoryError when the decode buffer cannot be allocated.
    std::unique_ptr<TGPImage> DecodeImage() const;
    /// Draws into D on a surface: scaled to D, except a BMP marked transparent, drawn at its
    /// natural size at D's top-left corner with its key colour (fixed, or the bottom-left
    /// pixel in automatic mode) left out.
    /// \throws EPictureMemoryError when the decode buffer cannot be allocated.
    void Draw(TGPGraphics &graphics, const TRect &d);
    /// Draws on a plain canvas: a BMP at its natural size at the rectangle's top-left corner
    /// with its bottom-left pixel's colour left out, anything else scaled into the rectangle.
    void DrawOnCanvas(QPainter &canvas, const TRect &rect);

    /// Stores the whole content of stream (read from its current position), then refreshes
    /// the size and fires OnChange. A missing or empty stream changes nothing.
    void LoadFromStream(QIODevice *stream);
    /// Writes the stored bytes unchanged.
    void SaveToStream(QIODevice *stream) const;
    /// Reads the persisted Data property: as LoadFromStream, without the event.
    void ReadData(const QByteArray &data);

    /// Copies the content of another picture; from nothing (null) clears the picture and
    /// fires OnChange, then OnClear. From an empty picture it stays empty and fires nothing.
    void Assign(const TAdvGDIPPicture *source);
    /// Copies a Qt image, stored as PNG bytes (lossless, keeps alpha); a null image counts as
    /// nothing.
    void Assign(const QImage &source);

    std::function<void(TAdvGDIPPicture *sender)> OnChange;
    std::function<void(TAdvGDIPPicture *sender)> OnClear;

private:
    void Changed();
    void StoreBytes(const QByteArray &bytes);

    QByteArray FData;
    bool FEmpty = true;
    int FWidth = 0;
    int FHeight = 0;
    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clWhite;
    bool FIsAlpha = false;
    bool FIsPalette = false;
    int FBitsPerPixel = 0;
    int FPixelFormat = 0;
};
