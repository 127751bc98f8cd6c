#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

/// A named picture of a control; the file is NAME.png.
struct GallerySample {
    QString Name;
    std::function<QImage()> Render;
};

/// A canvas of width x height logical pixels at the application's device pixel ratio (the
/// gallery's --scale), filled with colour; samples that paint without a widget start from it.
QImage GalleryCanvas(int width, int height, const QColor &colour);

/// Every registered sample, in registration order within a file.
std::vector<GallerySample> &GallerySamples();

/// Registers samples at start-up. A sample file declares one at namespace scope:
///   const GalleryRegistration registered{{"progress-default", [] { ... return image; }}};
struct GalleryRegistration {
    GalleryRegistration(std::initializer_list<GallerySample> samples);
};
