#pragma once

/// How far surface units sit from QPainter's logical units, in pixels, for each kind of
/// rendering.
///
/// The surface centres pixel (i, j) on the integer point (i, j); QPainter centres it on
/// (i + 0.5, j + 0.5). Antialiased rendering moves everything, brushes included, by half a
/// pixel. Aliased rendering moves only the geometry (AliasedEdgeShift), so that it lights the
/// pixels whose surface centres lie inside the shape; its brushes are sampled at QPainter's own
/// pixel centres.
inline double GridShift(bool antialias) {
    return antialias ? 0.5 : 0.0;
}

/// How far aliased fills, strokes and clips are moved, in logical units, on a device with
/// `ratio` device pixels per unit.
///
/// A whole half pixel would put every whole-number edge exactly on a row of pixel centres,
/// where QPainter's tie-breaking takes the wrong side. A hundredth of a device pixel less keeps
/// such edges where they are, and survives QPainter storing outlines in 1/64 of a pixel.
inline double AliasedEdgeShift(double ratio) {
    return 0.5 - 0.01 / ratio;
}

/// Where a path gradient takes its blend value for device pixel x: an offset from x in device
/// units, for a world transform that moved the surface by `shift` logical units.
///
/// The point taken is the surface point under the device pixel's centre, with the surface's
/// pixel centres on QPainter's half-pixel points. At one device pixel per unit and no shift that
/// is x itself, the surface pixel's centre; higher ratios sample each finer device pixel.
inline double SampleOffset(double shift, double ratio) {
    return 0.5 - (0.5 - shift) * ratio;
}
