#pragma once

#include <QImage>

#include <functional>

/// An owned picture that reports every change of its content through OnChange.
class PictureHolder {
public:
    /// Called after every Assign or Clear, also when the content did not change.
    std::function<void()> OnChange;

    /// Copies the image into the holder; a null image empties it.
    void Assign(const QImage &image);
    /// Copies another holder's content (never its OnChange).
    void Assign(const PictureHolder &other) { Assign(other.image_); }
    void Clear() { Assign(QImage()); }

    /// True when the holder has a picture to draw.
    bool HasGraphic() const { return !image_.isNull(); }
    const QImage &Image() const { return image_; }

private:
    QImage image_;
};
