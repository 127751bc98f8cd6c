#pragma once

#include "TColor.h"
#include "TsuiFileTheme.h"
#include "TsuiProgressBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <map>

/// The one application object widget tests need; created on first use.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "skin_tests";
    static char *argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr)
        new QApplication(argc, argv); // lives until the test process ends
}

/// Base of widget tests: the application exists before any member widget is built.
class WidgetTest : public ::testing::Test {
protected:
    WidgetTest() { EnsureApplication(); }
};

/// What the bar paints, as 32-bit pixels.
inline QImage Render(TsuiProgressBar &bar) {
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

/// A pixel as a toolkit colour (0x00BBGGRR), to compare with TColor values.
inline TColor PixelAt(const QImage &image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGBColor(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
}

/// A colour given as 0xRRGGBB, as picture colours are written, turned into a toolkit colour.
constexpr TColor Rgb(std::uint32_t rrggbb) {
    return RGBColor(std::uint8_t(rrggbb >> 16), std::uint8_t(rrggbb >> 8), std::uint8_t(rrggbb));
}

/// A one-colour opaque bitmap.
inline QImage Solid(int w, int h, TColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    return image;
}

/// A skin source held in memory: the tests set its bitmaps, colours and readiness.
class InMemoryFileTheme : public TsuiFileTheme {
public:
    bool IsReady = true;
    std::map<int, QImage> Bitmaps;
    std::map<int, TColor> Colors;

    bool Ready() const override { return IsReady; }
    QImage GetBitmap(int item) const override {
        const auto found = Bitmaps.find(item);
        return found == Bitmaps.end() ? QImage() : found->second;
    }
    TColor GetColor(int item) const override {
        const auto found = Colors.find(item);
        return found == Colors.end() ? clBlack : found->second;
    }
};
