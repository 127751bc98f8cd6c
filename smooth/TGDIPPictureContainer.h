#pragma once

#include "TAdvGDIPPicture.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

/// Named pictures for HTML text, kept as encoded bytes like every picture of the drawing layer.
///
/// Controls that use a container keep a non-owning reference that clears itself when the
/// container is destroyed.
class TGDIPPictureContainer : public QObject {
    Q_OBJECT
public:
    explicit TGDIPPictureContainer(QObject *owner = nullptr) : QObject(owner) {}

    /// Adds a picture under name (an existing picture of that name is replaced), then emits
    /// Changed.
    void Add(const QString &name, const QImage &image);
    /// The picture of that name, compared case-insensitively; null when there is none.
    const TAdvGDIPPicture *FindPicture(const QString &name) const;
    int Count() const { return int(FItems.size()); }

signals:
    /// A picture was added or replaced: users that keep laid-out text drop it.
    void Changed();

private:
    struct Item {
        QString Name;
        std::unique_ptr<TAdvGDIPPicture> Picture;
    };
    std::vector<Item> FItems;
};
