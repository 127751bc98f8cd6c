#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphics.h"
#include "gdip_text.h"
#include "test_support.h"
#include "text_layout.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QString InstalledFamily(std::initializer_list<const char *> wanted) {
    const QStringList families = QFontDatabase::families();
    for (const char *name : wanted)
        for (const QString &family : families)
            if (family.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return family;
    return {};
}

} // namespace

TEST(FontFamily, MissingFamilyIsReportedAndToolkitFontFallsBack) {
    TGPFontFamily missing(QStringLiteral("No Such Face Zorvane"));
    EXPECT_FALSE(missing.HasHandle());
    EXPECT_EQ(missing.LastStatus(), GpStatus::FontFamilyNotFound);

    TFont font;
    font.Name = QStringLiteral("No Such Face Zorvane");
    font.Height = -16;
    font.Style.Bold = true;
    const auto fallback = FontFromTFont(font);
    ASSERT_TRUE(fallback->HasHandle());
    EXPECT_NEAR(fallback->EmPixels(), 16.0, 1e-9); // 12 points at 96 dpi
    EXPECT_EQ(fallback->GetStyle(), FontStyleBold);
}

TEST(MeasureString, BoxAddsASixthOfTheEmOnEachSideAndSkipsTrailingSpaces) {
    const QString face = InstalledFamily({"DejaVu Sans", "Noto Sans", "Liberation Sans"});
    ASSERT_FALSE(face.isEmpty());
    TGPFontFamily family(face);
    TGPFont font(family, 12, FontStyleRegular, UnitPoint); // 16 px
    QImage canvas = WhiteCanvas(10, 10);
    QPainter painter(&canvas);
    TGPGraphics g(&painter);
    TGPRectF box, spaced;
    ASSERT_EQ(g.MeasureString("Zorvane", -1, &font, {5, 7, 1000, 1000}, nullptr, &box),
              GpStatus::Ok);
    g.MeasureString("Zorvane  ", -1, &font, {5, 7, 1000, 1000}, nullptr, &spaced);

    QFont reference = font.QtFont();
    reference.setHintingPreference(QFont::PreferDefaultHinting);
    QImage dpi96(1, 1, QImage::Format_ARGB32);
    dpi96.setDotsPerMeterX(3780);
    dpi96.setDotsPerMeterY(3780);
    const QFontMetricsF metrics(reference, &dpi96);
    EXPECT_NEAR(box.Width, metrics.horizontalAdvance("Zorvane") + 2 * 16.0 / 6, 0.5);
    EXPECT_NEAR(box.Height, metrics.lineSpacing(), 0.01);
    EXPECT_EQ(box.X, 5);
    EXPECT_EQ(box.Y, 7);
    EXPECT_FLOAT_EQ(spaced.Width, box.Width);

    // A narrow layout wraps at word boundaries: two lines, twice the height.
    TGPRectF wrapped;
    int lines = 0;
    g.MeasureString("Zorvane Zorvane", -1, &font, {0, 0, box.Width + 4, 1000}, nullptr, &wrapped,
                    nullptr, &lines);
    EXPECT_EQ(lines, 2);
    TGPStringFormat noWrap(StringFormatFlagsNoWrap);
    g.MeasureString("Zorvane Zorvane", -1, &font, {0, 0, box.Width + 4, 1000}, &noWrap, &wrapped,
                    nullptr, &lines);
    EXPECT_EQ(lines, 1);
}

TEST(DrawString, SemiTransparentJoinedPersianTextIsUniform) {
    const QString face = InstalledFamily({"Noto Sans Arabic", "Noto Naskh Arabic", "Nazli"});
    ASSERT_FALSE(face.isEmpty()) << "a Persian-capable face from the project's font packages";
    TGPFontFamily family(face);
    TGPFont font(family, 36, FontStyleRegular, UnitPoint);
    const QImage canvas = DrawnOnWhite(400, 100, [&](TGPGraphics &g) {
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        TGPSolidBrush brush(0x64000000); // black at alpha 100
        ASSERT_EQ(g.DrawString(QStringLiteral("به‌روزرسانی زوروان"), -1, &font,
                               TGPPointF{4, 4}, &brush),
                  GpStatus::Ok);
    });
    // Full coverage gives 255 - 100 = 155; where joined letters overlap it must stay so.
    int darkest = 255;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            darkest = std::min(darkest, qRed(canvas.pixel(x, y)));
    EXPECT_NEAR(darkest, 155, 1);
}

TEST(DrawTextRoutine, TrailingSpaceCountsAsTheLetterIAndTheMarginIsTakenOff) {
    const QString face = InstalledFamily({"DejaVu Sans", "Noto Sans", "Liberation Sans"});
    ASSERT_FALSE(face.isEmpty());
    TFont font;
    font.Name = face;
    font.Height = -16; // 12 points: margin 2 + round(4 / 1.5) = 5
    QImage canvas = WhiteCanvas(200, 60);
    QPainter painter(&canvas);
    TGPGraphics g(&painter);

    TRect spaced{10, 10, 10, 10};
    TRect withI{10, 10, 10, 10};
    const int height = DrawTextGDIP(g, "abc ", -1, clNone, DT_CALCRECT, font, spaced);
    DrawTextGDIP(g, "abci", -1, clNone, DT_CALCRECT, font, withI);
    EXPECT_EQ(spaced, withI);
    EXPECT_EQ(height, spaced.Bottom - spaced.Top);

    TGPRectF box;
    const auto gpFont = FontFromTFont(font);
    g.MeasureString("abci", -1, gpFont.get(), {10, 10, 1000, 0}, nullptr, &box);
    EXPECT_EQ(withI.Right, 10 + int(std::nearbyint(box.Width - 5)));
    EXPECT_EQ(GDIPTextHeight(g, "abc", font), int(std::nearbyint(box.Height)));
}

TEST(TextLayout, OnlyGlyphsThatCanShowBecomeOutlinesAndThePictureStaysTheSame) {
    // Latin, Persian, digits and a wide ligature: lines of mixed direction, most of them far
    // outside a small window.
    const QString sentence =
        QStringLiteral("Zorvane 2024 \uFDFD \u0628\u0647\u200C\u0631\u0648\u0632 12 \u06CC ");
    const TGPFontFamily family(QStringLiteral("DejaVu Sans"));
    const TGPFont font(family, 12, FontStyleUnderline, UnitPoint);
    const QRectF window(0, 0, 120, 60);
    const struct {
        int flags;
        QRectF layout;
    } cases[] = {
        {StringFormatFlagsNoWrap, QRectF(-2000, 10, 0, 0)},
        {StringFormatFlagsNoWrap | StringFormatFlagsDirectionRightToLeft,
         QRectF(-3000, 10, 6000, 0)},
        {0, QRectF(-150, -400, 400, 0)},
    };
    for (const auto &c : cases) {
        TextLayoutRequest request;
        request.text = sentence.repeated(100);
        request.font = font.QtFont();
        request.emPixels = font.EmPixels();
        request.layout = c.layout;
        request.flags = c.flags;
        const QPainterPath all = LayOutText(request, true).glyphs;
        request.visible = window;
        const QPainterPath near = LayOutText(request, true).glyphs;
        EXPECT_LT(near.elementCount() * 4, all.elementCount()) << c.flags;
        auto render = [&window](const QPainterPath &glyphs) {
            QImage image = WhiteCanvas(int(window.width()), int(window.height()));
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(glyphs, Qt::black);
            return image;
        };
        const QImage shown = render(near);
        EXPECT_EQ(shown, render(all)) << c.flags;
        EXPECT_FALSE(shown == WhiteCanvas(int(window.width()), int(window.height()))) << c.flags;
    }
}
