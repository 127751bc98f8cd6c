#include "TAdvGDIPPicture.h"
#include "TGPGraphics.h"
#include "TGPImage.h"
#include "test_support.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace {

QByteArray Encoded(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Solid(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

/// A picture that records its events in order.
struct Recorder {
    TAdvGDIPPicture picture;
    std::string events;
    Recorder() {
        picture.OnChange = [this](TAdvGDIPPicture *) { events += "change;"; };
        picture.OnClear = [this](TAdvGDIPPicture *) { events += "clear;"; };
    }
};

} // namespace

TEST(PictureAssign, EventsFollowTheSource) {
    TAdvGDIPPicture source;
    source.ReadData(Encoded(Solid(7, 5, Qt::red), "PNG"));
    ASSERT_FALSE(source.Empty());

    Recorder fromPicture;
    fromPicture.picture.Assign(&source);
    EXPECT_EQ(fromPicture.events, "change;");
    EXPECT_FALSE(fromPicture.picture.Empty());
    EXPECT_EQ(fromPicture.picture.Width(), 7);
    EXPECT_EQ(fromPicture.picture.Data(), source.Data());

    Recorder fromNothing;
    fromNothing.picture.ReadData(source.Data());
    fromNothing.picture.Assign(static_cast<const TAdvGDIPPicture *>(nullptr));
    EXPECT_EQ(fromNothing.events, "change;clear;");
    EXPECT_TRUE(fromNothing.picture.Empty());
    EXPECT_TRUE(fromNothing.picture.Data().isEmpty());

    Recorder fromEmpty;
    TAdvGDIPPicture empty;
    fromEmpty.picture.Assign(&empty);
    EXPECT_EQ(fromEmpty.events, "");
    EXPECT_TRUE(fromEmpty.picture.Empty());

    Recorder fromImage;
    fromImage.picture.Assign(Solid(3, 2, Qt::green));
    EXPECT_EQ(fromImage.events, "change;");
    EXPECT_EQ(fromImage.picture.Height(), 2);
}

TEST(PictureLoad, EmptyStreamChangesNothingAndAFullOneFiresOnChange) {
    Recorder r;
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    r.picture.LoadFromStream(&empty);
    r.picture.LoadFromStream(nullptr);
    EXPECT_EQ(r.events, "");
    EXPECT_TRUE(r.picture.Empty());

    QByteArray bytes = Encoded(Solid(9, 4, Qt::blue), "BMP");
    QBuffer full(&bytes);
    full.open(QIODevice::ReadOnly);
    r.picture.LoadFromStream(&full);
    EXPECT_EQ(r.events, "change;");
    EXPECT_EQ(r.picture.Width(), 9);
    EXPECT_EQ(r.picture.Height(), 4);
}

TEST(PictureDecode, CorruptTruncatedOrHugeImagesDrawNothing) {
    const QByteArray png = Encoded(Solid(20, 20, Qt::black), "PNG");
    QByteArray hugeBmp = Encoded(Solid(2, 2, Qt::black), "BMP");
    // Declare 60000 x 60000 pixels in the header (width at offset 18, height at 22).
    for (int offset : {18, 22}) {
        hugeBmp[offset] = char(0x60);
        hugeBmp[offset + 1] = char(0xEA);
        hugeBmp[offset + 2] = 0;
        hugeBmp[offset + 3] = 0;
    }
    const QByteArray inputs[] = {QByteArray("not an image at all"), png.left(png.size() / 2),
                                 hugeBmp, QByteArray(1, '\x89')};
    for (const QByteArray &bytes : inputs) {
        TAdvGDIPPicture picture;
        picture.ReadData(bytes);
        EXPECT_EQ(picture.Width(), 0);
        QImage canvas = WhiteCanvas(30, 30);
        {
            QPainter painter(&canvas);
            TGPGraphics g(&painter);
            picture.Draw(g, TRect{0, 0, 30, 30});
            picture.DrawOnCanvas(painter, TRect{0, 0, 30, 30});
        }
        EXPECT_EQ(canvas.pixel(10, 10), qRgb(255, 255, 255));
    }
}

TEST(PictureDecode, DecodeImageGivesTheStoredImageOrNothingWhenEmpty) {
    TAdvGDIPPicture picture;
    EXPECT_EQ(picture.DecodeImage(), nullptr);
    picture.ReadData(Encoded(Solid(7, 5, Qt::red), "PNG"));
    const auto image = picture.DecodeImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 7u);
    EXPECT_EQ(image->GetHeight(), 5u);
    EXPECT_EQ(image->GetRawFormat(), ImageFormat::Png);
}

TEST(PictureDraw, TransparentBmpKeysOutItsBottomLeftColourAtNaturalSize) {
    QImage image = Solid(4, 3, Qt::blue);
    image.setPixelColor(0, 2, Qt::red); // the key in automatic mode
    image.setPixelColor(3, 0, Qt::red);
    TAdvGDIPPicture picture;
    picture.ReadData(Encoded(image, "BMP"));
    picture.SetTransparent(true);

    const QImage canvas = DrawnOnWhite(60, 60, [&](TGPGraphics &g) {
        picture.Draw(g, TRect{10, 10, 50, 50});
    });
    EXPECT_EQ(canvas.pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(13, 10), qRgb(255, 255, 255)); // keyed out
    EXPECT_EQ(canvas.pixel(10, 12), qRgb(255, 255, 255)); // keyed out
    EXPECT_EQ(canvas.pixel(12, 12), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(14, 10), qRgb(255, 255, 255)); // natural size, not stretched
    EXPECT_EQ(canvas.pixel(30, 30), qRgb(255, 255, 255));

    picture.SetTransparentMode(tmFixed);
    picture.SetTransparentColor(clBlue);
    const QImage fixed = DrawnOnWhite(60, 60, [&](TGPGraphics &g) {
        picture.Draw(g, TRect{0, 0, 4, 3});
    });
    EXPECT_EQ(fixed.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(fixed.pixel(0, 2), qRgb(255, 0, 0));
}

TEST(PictureDraw, OtherImagesAreScaledIntoTheRectangle) {
    TAdvGDIPPicture picture;
    picture.ReadData(Encoded(Solid(4, 4, Qt::black), "PNG"));
    picture.SetTransparent(true); // only BMP pictures are keyed
    const QImage canvas = DrawnOnWhite(40, 40, [&](TGPGraphics &g) {
        picture.Draw(g, TRect{5, 5, 35, 25});
    });
    EXPECT_EQ(canvas.pixel(20, 15), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(33, 23), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(37, 15), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(20, 28), qRgb(255, 255, 255));
}
