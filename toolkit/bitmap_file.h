#pragma once

#include <QImage>
#include <QString>

/// Reads a BMP file (or resource) with Qt's built-in BMP reader alone.
///
/// Qt's usual loading (`QImage(path)`, even `QImage(path, "BMP")`) first offers the file to
/// every image format plugin, which loads all of them (and the JPEG library) into the process:
/// about a millisecond before the first frame for pictures that are always BMP. A null image
/// when the file is missing or not a BMP.
QImage ReadBitmapFile(const QString &path);
