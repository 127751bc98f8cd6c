#include "gallery.h"

std::vector<GallerySample> &GallerySamples() {
    // A function-local list, so registrations from any file's static initialisers find it built.
    static std::vector<GallerySample> samples;
    return samples;
}

GalleryRegistration::GalleryRegistration(std::initializer_list<GallerySample> samples) {
    GallerySamples().insert(GallerySamples().end(), samples);
}
