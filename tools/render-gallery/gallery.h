#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

/// A named picture of a control; the file is NAME.png.
struct GallerySample {
    QString Name;
    std::function<QImage()> Render;
};

/// Every registered sample, in registration order within a file.
std::vector<GallerySample> &GallerySamples();

/// Registers samples at start-up. A sample file declares one at namespace scope:
///   const GalleryRegistration registered{{"progress-default", [] { ... return image; }}};
struct GalleryRegistration {
    GalleryRegistration(std::initializer_list<GallerySample> samples);
};
