#pragma once

#include "TGdiplusBase.h"

#include <QPainterPath>
#include <QString>
#include <QTransform>

#include <memory>

class QPainter;
class QPaintDevice;
class TGPBrush;
class TGPFont;
class TGPGraphicsPath;
class TGPImage;
class TGPImageAttributes;
class TGPPen;
class TGPRegion;
class TGPStringFormat;

/// A drawing surface over a QPainter: what the controls draw their face on during one paint.
///
/// Units are device pixels from the origin the painter had on construction (its transform
/// places the device, for example at an offset inside a parent's surface). The
/// pixel grid is the one the flat drawing interface uses by default: pixel (i, j) is centred
/// on the integer point (i, j) (pixel_grid.h says how QPainter is brought to it), in
/// antialiased and aliased drawing alike; hatches, textures, images and glyphs are anchored on
/// whole device pixels.
/// The painter's state is saved on construction and restored on destruction, and its
/// existing clip stays in force under every clip set here.
class TGPGraphics : public TGdiplusBase {
public:
    /// A surface over a painter that stays the caller's; a null or inactive painter gives a
    /// surface without handle, on which every fill is skipped.
    explicit TGPGraphics(QPainter *painter);
    /// A surface with a painter of its own on device (the "device context").
    explicit TGPGraphics(QPaintDevice *device);
    ~TGPGraphics() override;

    bool HasHandle() const { return FPainter != nullptr; }

    /// Antialiasing: SmoothingModeAntiAlias (4) and HighQuality antialias, Default (0),
    /// HighSpeed and None do not. Other values give InvalidParameter.
    GpStatus SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const { return FSmoothing; }
    /// Glyph rendering for later string operations; out-of-range values give InvalidParameter.
    GpStatus SetTextRenderingHint(TextRenderingHint hint);
    TextRenderingHint GetTextRenderingHint() const { return FTextHint; }

    /// Fills the interior of path by its fill mode.
    GpStatus FillPath(const TGPBrush *brush, const TGPGraphicsPath *path);
    /// Fills a rectangle. Skipped with Ok when width or height is not above 0, when the brush
    /// or its handle is missing, or when the surface has no handle.
    GpStatus FillRectangle(const TGPBrush *brush, const TGPRectF &rect);
    GpStatus FillRectangle(const TGPBrush *brush, float x, float y, float width, float height);
    /// Strokes path with pen, centred on the outline.
    GpStatus DrawPath(const TGPPen *pen, const TGPGraphicsPath *path);
    GpStatus DrawRectangle(const TGPPen *pen, const TGPRectF &rect);
    GpStatus DrawLine(const TGPPen *pen, float x1, float y1, float x2, float y2);
    GpStatus DrawLine(const TGPPen *pen, int x1, int y1, int x2, int y2);

    /// Limits later drawing to region (replacing the previous clip set here); an infinite
    /// region resets.
    GpStatus SetClip(const TGPRegion *region);
    /// Removes the clip set here.
    GpStatus ResetClip();

    /// Draws the whole image scaled into the rectangle; an empty rectangle draws nothing.
    GpStatus DrawImage(const TGPImage *image, float x, float y, float width, float height);
    /// Draws the source rectangle (pixels) of image into dest with the attributes applied.
    GpStatus DrawImage(const TGPImage *image, const TGPRectF &dest, float srcX, float srcY,
                       float srcWidth, float srcHeight, Unit srcUnit,
                       const TGPImageAttributes *attributes);

    /// The box the first length characters (-1: all) take in layout: with em / 6 padding on
    /// each side, trailing spaces not counted. Without a format: near alignment, wrapping.
    GpStatus MeasureString(const QString &text, int length, const TGPFont *font,
                           const TGPRectF &layout, const TGPStringFormat *format,
                           TGPRectF *boundingBox, int *codepointsFitted = nullptr,
                           int *linesFilled = nullptr);
    /// Draws text in layout as one filled shape, so overlapping glyphs of a semi-transparent
    /// brush do not darken; clipped to layout when it has a width and height, unless the
    /// format says no clip.
    GpStatus DrawString(const QString &text, int length, const TGPFont *font,
                        const TGPRectF &layout, const TGPStringFormat *format,
                        const TGPBrush *brush);
    /// Draws text from a point without format (no wrapping, no clipping).
    GpStatus DrawString(const QString &text, int length, const TGPFont *font,
                        const TGPPointF &origin, const TGPBrush *brush);

    /// The painter with its original transform for drawing in between; call ReleaseDC after.
    QPainter *GetDC();
    /// Ends what GetDC began.
    GpStatus ReleaseDC(QPainter *dc);

private:
    void Init();
    /// Sets the transform for the current smoothing mode (see pixel_grid.h).
    void ApplyGrid();
    /// The caller's clip in the current logical units.
    QPainterPath InitialClip() const;
    /// shape as the current smoothing mode puts it on the pixel grid: aliased geometry moves
    /// (pixel_grid.h), antialiased geometry moves with the world transform alone.
    QPainterPath OnGrid(const QPainterPath &shape) const;
    /// The part of the device that drawing can reach now (within the clip), in the current
    /// logical units; possibly larger, never smaller.
    QRectF VisibleArea() const;
    GpStatus Fill(const TGPBrush *brush, const QPainterPath &area);
    GpStatus Stroke(const TGPPen *pen, const QPainterPath &outline);

    std::unique_ptr<QPainter> FOwnPainter;
    QPainter *FPainter = nullptr;
    QTransform FBase;
    bool FHadClip = false;
    QPainterPath FInitialClipDevice;
    double FShift = 0;
    SmoothingMode FSmoothing = SmoothingModeDefault;
    TextRenderingHint FTextHint = TextRenderingHintSystemDefault;
    bool FInDC = false;
};
