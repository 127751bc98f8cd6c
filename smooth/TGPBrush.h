#pragma once

#include "TGdiplusBase.h"

#include <QBrush>
#include <QPainterPath>

class QPainter;
class TGPImage;

/// A brush: what fills an area. Abstract; the five kinds below derive from it.
class TGPBrush : public TGdiplusBase {
public:
    /// True when the brush was made; a brush that failed to be made fills nothing.
    bool HasHandle() const { return FHasHandle; }

    /// Fills an area given in surface units on a painter that maps surface units to device
    /// pixels. Only the surface calls this, with a brush that has a handle.
    virtual void FillArea(QPainter &painter, const QPainterPath &area) const;

protected:
    TGPBrush() = default;
    void SetHandle(bool made) { FHasHandle = made; }
    /// The Qt brush for a painter with this world transform.
    virtual QBrush QtBrush(const QTransform &world) const = 0;

private:
    bool FHasHandle = false;
};

/// A brush of one colour.
class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(ARGB color);
    ARGB GetColor() const { return FColor; }

protected:
    QBrush QtBrush(const QTransform &world) const override;

private:
    ARGB FColor;
};

/// A brush of one of the 53 8 x 8 hatch patterns.
///
/// The pattern is laid on device pixels from the device origin, whatever the surface's
/// transform. A style outside 0 to 52 (HatchStyleTotal included) makes no brush and stores
/// InvalidParameter.
class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush(int style, ARGB foreground, ARGB background);

protected:
    QBrush QtBrush(const QTransform &world) const override;

private:
    QImage FTile;
};

/// A brush that tiles an image from the device origin (wrap mode tile only).
class TGPTextureBrush : public TGPBrush {
public:
    /// Copies the decoded pixels of image; an image without pixels or a wrap mode other than
    /// tile stores InvalidParameter (resp. NotImplemented) and makes no brush.
    TGPTextureBrush(const TGPImage &image, WrapMode wrapMode = WrapModeTile);

protected:
    QBrush QtBrush(const QTransform &world) const override;

private:
    QImage FTexture;
};
