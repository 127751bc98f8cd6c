#include "TGDIPPictureContainer.h"

void TGDIPPictureContainer::Add(const QString &name, const QImage &image) {
    for (Item &item : FItems) {
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0) {
            item.Picture->Assign(image);
            emit Changed();
            return;
        }
    }
    auto picture = std::make_unique<TAdvGDIPPicture>();
    picture->Assign(image);
    FItems.push_back({name, std::move(picture)});
    emit Changed();
}

const TAdvGDIPPicture *TGDIPPictureContainer::FindPicture(const QString &name) const {
    for (const Item &item : FItems)
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
            return item.Picture.get();
    return nullptr;
}
