#pragma once

#include <QImage>

/// A rectangle given by its edges; Right and Bottom are exclusive. Right < Left or
/// Bottom < Top makes it empty.
struct EdgeRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
};

/// r in device pixels of a canvas with `ratio` device pixels per logical pixel: each edge on the
/// nearest device pixel edge, so neighbouring rectangles still meet.
EdgeRect ToDevice(EdgeRect r, qreal ratio);

/// The whole image as an EdgeRect.
inline EdgeRect BoundsOf(const QImage &image) {
    return {0, 0, image.width(), image.height()};
}

/// Scales the part `from` of source onto `to` of canvas by picking, for each target pixel, the
/// source pixel under its centre; no smoothing, no alpha (the source is drawn opaque).
///
/// `to` is in the canvas's logical pixels: on a canvas with a device pixel ratio each edge lands
/// on the nearest device pixel edge, and every device pixel picks its own source pixel, so the
/// picture keeps its hard pixel edges at any ratio. With mirrored set, the source's top row
/// lands on the target's bottom row. An empty target or source rectangle draws nothing; source
/// pixels outside the image repeat its edge pixels; target pixels outside canvas are clipped.
/// canvas must be Format_RGB32.
void StretchNearest(QImage &canvas, EdgeRect to, const QImage &source, EdgeRect from,
                    bool mirrored = false);

/// Turns a bitmap a quarter turn counter-clockwise in place: a w x h bitmap becomes h x w and
/// source pixel (x, y) lands at (y, w - 1 - x). Format and palette are kept.
void RotateBitmapLeft(QImage &bitmap);

/// Draws bitmap onto r in three horizontal bands: the top and bottom `band` rows keep their
/// height, the middle rows stretch to fill; every band stretches to r's width.
///
/// A band of 0 means a third of the bitmap's height. Draws nothing when r starts left of 0.
void DrawBandsVertical(const QImage &bitmap, QImage &canvas, EdgeRect r, int band);

/// Draws bitmap onto r in three vertical bands: the left and right `band` columns keep their
/// width, the middle columns stretch to fill; every band stretches to r's height.
///
/// Draws nothing when r starts left of 0.
void DrawBandsHorizontal(const QImage &bitmap, QImage &canvas, EdgeRect r, int band);
