#pragma once

/// How far surface units sit from QPainter's logical units, in pixels, for each kind of
/// rendering.
///
/// The surface centres pixel (i, j) on the integer point (i, j). Antialiased QPainter
/// rendering centres it on (i + 0.5, j + 0.5), so surface geometry is moved by half a pixel.
/// Aliased QPainter rendering already fills a pixel when the point (i, j) lies inside the
/// shape (edges on whole coordinates take the pixels right of and below them), which is the
/// surface's rule, so it needs no shift.
inline double GridShift(bool antialias) {
    return antialias ? 0.5 : 0.0;
}
