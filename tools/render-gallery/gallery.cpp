#include "gallery.h"

#include <QGuiApplication>

#include <cmath>

std::vector<GallerySample> &GallerySamples() {
    // A function-local list, so registrations from any file's static initialisers find it built.
    static std::vector<GallerySample> samples;
    return samples;
}

GalleryRegistration::GalleryRegistration(std::initializer_list<GallerySample> samples) {
    GallerySamples().insert(GallerySamples().end(), samples);
}

QImage GalleryCanvas(int width, int height, const QColor &colour) {
    const qreal ratio = qApp->devicePixelRatio();
    QImage image(int(std::lround(width * ratio)), int(std::lround(height * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(colour);
    return image;
}
