#include "bitmap_drawing.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

/// A bitmap whose pixel (x, y) has the colour (x, y, 7): every pixel tells where it came from.
QImage Numbered(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 7));
    return image;
}

QImage Canvas(int w, int h) {
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    return canvas;
}

/// The source row (red channel for a column, green for a row) each target pixel came from.
std::vector<int> SourceRows(const QImage &canvas, int x) {
    std::vector<int> rows;
    for (int y = 0; y < canvas.height(); ++y)
        rows.push_back(qGreen(canvas.pixel(x, y)));
    return rows;
}

TEST(BitmapDrawing, BandsKeepTheirEndsAndStretchTheMiddle) {
    const QImage source = Numbered(1, 6);
    const std::vector<int> expected{0, 1, 2, 2, 2, 3, 3, 3, 4, 5};
    for (const int band : {2, 0}) { // 0 means a third of the height: 2 again
        QImage canvas = Canvas(3, 10);
        DrawBandsVertical(source, canvas, {0, 0, 3, 10}, band);
        EXPECT_EQ(SourceRows(canvas, 0), expected) << band;
        EXPECT_EQ(SourceRows(canvas, 2), expected) << band;
    }

    QImage across = Canvas(10, 1);
    DrawBandsHorizontal(Numbered(6, 1), across, {0, 0, 10, 1}, 2);
    std::vector<int> columns;
    for (int x = 0; x < 10; ++x)
        columns.push_back(qRed(across.pixel(x, 0)));
    EXPECT_EQ(columns, expected);

    QImage untouched = Canvas(3, 10);
    DrawBandsVertical(source, untouched, {-1, 0, 3, 10}, 2);
    DrawBandsHorizontal(source, untouched, {-1, 0, 3, 10}, 2);
    EXPECT_EQ(untouched, Canvas(3, 10));
}

} // namespace
