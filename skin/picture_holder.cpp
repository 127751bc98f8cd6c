#include "picture_holder.h"

void PictureHolder::Assign(const QImage &image) {
    image_ = image;
    if (OnChange)
        OnChange();
}
