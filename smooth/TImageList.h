#pragma once

#include <QImage>
#include <QObject>

#include <vector>

/// A list of images addressed by index, for the pictures of HTML text.
///
/// Controls that use a list keep a non-owning reference that clears itself when the list is
/// destroyed.
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QObject *owner = nullptr) : QObject(owner) {}

    /// Appends a copy of image, emits Changed and returns its index.
    int Add(const QImage &image) {
        FImages.push_back(image);
        emit Changed();
        return int(FImages.size()) - 1;
    }
    int Count() const { return int(FImages.size()); }
    /// The image at index; a null image for an index outside the list.
    QImage Image(int index) const {
        return index >= 0 && index < Count() ? FImages[std::size_t(index)] : QImage();
    }

signals:
    /// An image was added: users that keep laid-out text drop it.
    void Changed();

private:
    std::vector<QImage> FImages;
};
