#include "bitmap_file.h"

#include <QImageReader>

QImage ReadBitmapFile(const QString &path) {
    QImageReader reader(path, "bmp");
    // Without detection the reader takes the named format at its word: no plugin is asked.
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
