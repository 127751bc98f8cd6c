// The HTML text renderer: measuring, drawing and hit-testing agree; pictures come only from the
// given list and container; any markup is laid out within bounds; the filter's rewriting.
#include "TGDIPPictureContainer.h"
#include "TImageList.h"
#include "html_markup.h"
#include "html_text.h"
#include "widget_test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

THTMLText Text(const QString &markup) {
    THTMLText text;
    text.Markup = markup;
    text.Font = TestFont(-14);
    text.Font.Color = clBlack;
    text.URLColor = clRed;
    return text;
}

/// A picture of one colour.
QImage Solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

/// Draws layout into box on a white canvas.
QImage Draw(const THTMLTextLayout &layout, const QRect &box, QSize canvas = QSize(300, 120)) {
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TGPGraphics graphics(&painter);
    layout.Draw(graphics, box);
    return image;
}

/// Bounds of the pixels close to colour.
QRect Bounds(const QImage &image, QColor colour, int tolerance = 60) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

TEST(HTMLText, MeasureDrawAndHitTestAgree) {
    const THTMLText text = Text(QStringLiteral("<a href=\"next\">link</a> and <b>bold</b> text"));
    const QSize size = THTMLTextLayout(text, 280).Size();
    ASSERT_GT(size.width(), 40);
    ASSERT_GT(size.height(), 10);
    const THTMLTextLayout layout(text, size.width());
    EXPECT_EQ(layout.Size(), size);
    const QRect box(QPoint(10, 20), size);
    const QImage image = Draw(layout, box);
    EXPECT_TRUE(box.contains(InkBounds(image)));
    const QRect link = Bounds(image, Qt::red);
    ASSERT_FALSE(link.isEmpty());
    EXPECT_EQ(layout.AnchorAt(link.center() - box.topLeft()), QStringLiteral("next"));
    EXPECT_TRUE(layout.AnchorAt(QPointF(size.width() - 3, size.height() / 2.0)).isEmpty());
    EXPECT_TRUE(layout.AnchorAt(QPointF(-50, -50)).isEmpty());
}

TEST(HTMLText, TheShadowLiesAtItsOffsetInItsColour) {
    THTMLText text = Text(QStringLiteral("<b>IIII</b>"));
    text.Font = TestFont(-30);
    text.ShadowColor = clLime;
    text.ShadowOffset = 4;
    const THTMLTextLayout layout(text, 200);
    const QImage image = Draw(layout, QRect(QPoint(10, 10), layout.Size()));
    const QRect ink = Bounds(image, Qt::black);
    const QRect shadow = Bounds(image, Qt::green, 100);
    ASSERT_FALSE(shadow.isEmpty());
    EXPECT_EQ(shadow.bottomRight(), ink.bottomRight() + QPoint(4, 4));
}

TEST(HTMLText, PicturesComeFromTheListByIndexAndTheContainerByNameOnly) {
    TImageList images;
    images.Add(Solid(12, 12, Qt::green));
    TGDIPPictureContainer pictures;
    pictures.Add(QStringLiteral("Logo"), Solid(12, 12, Qt::blue));
    // A picture file on disk that markup names in every way it could.
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("m.png"));
    ASSERT_TRUE(Solid(12, 12, Qt::magenta).save(file));

    THTMLText text = Text(QStringLiteral("<img src=\"0\"> <img src=\"logo\"> "
                                         "<img src=\"%1\"> <img src=\"file://%1\"> "
                                         "<img src=\"5\"> <img src=\"http://127.0.0.1:9/x.png\"> "
                                         "<p style=\"background-image:url(file://%1)\">x</p>"
                                         "<link rel=\"stylesheet\" href=\"file://%1\">")
                              .arg(file));
    text.Images = &images;
    text.PictureContainer = &pictures;
    const THTMLTextLayout layout(text, 280);
    const QImage image = Draw(layout, QRect(QPoint(0, 0), layout.Size()));
    EXPECT_EQ(Bounds(image, Qt::green, 0).size(), QSize(12, 12));
    EXPECT_EQ(Bounds(image, Qt::blue, 0).size(), QSize(12, 12));
    EXPECT_TRUE(Bounds(image, Qt::magenta, 30).isEmpty());
}

TEST(HTMLText, APictureNamedTwiceIsHeldOnceAndAllPicturesTogetherAreBounded) {
    // The bound's whole worth in one picture, named twice: the second name costs nothing, and
    // no other picture fits beside it.
    TImageList images;
    images.Add(Solid(4096, int(THTMLMarkupLimits::MaxPicturePixels / 4096), Qt::green));
    TGDIPPictureContainer pictures;
    pictures.Add(QStringLiteral("small"), Solid(12, 12, Qt::blue));
    THTMLText text = Text(QStringLiteral("<img src=\"0\" width=\"12\" height=\"12\">"
                                         "<img src=\"00\" width=\"12\" height=\"12\"> "
                                         "<img src=\"small\">"));
    text.Images = &images;
    text.PictureContainer = &pictures;
    const THTMLTextLayout layout(text, 280);
    const QImage image = Draw(layout, QRect(QPoint(0, 0), layout.Size()));
    EXPECT_EQ(Bounds(image, Qt::green, 30).size(), QSize(24, 12));
    EXPECT_TRUE(Bounds(image, Qt::blue, 30).isEmpty());
}

TEST(HTMLText, AnyMarkupIsLaidOutWithinBounds) {
    const QString deep = QStringLiteral("<b><i>").repeated(100000) + QStringLiteral("deep");
    const QString huge =
        QStringLiteral("<a href=\"") + QString(1 << 20, u'x') + QStringLiteral("\">long</a>");
    const QString garbage = QString::fromLatin1(QByteArray(4096, '\x01').append("\xff\xfe<<&#0;"));
    const QString text = QStringLiteral("word ").repeated(400000);
    for (const QString &markup :
         {deep, huge, garbage, text, QStringLiteral("<table><tr><td>").repeated(5000),
          QStringLiteral("<b unclosed <i> &bogus; &#xD800; &#99999999; <unknown>x</unknown>")}) {
        const QString filtered = FilterMarkup(markup, {});
        EXPECT_LE(filtered.size(), 8 * THTMLMarkupLimits::MaxLength);
        EXPECT_LE(filtered.count(QStringLiteral("<b>")), THTMLMarkupLimits::MaxDepth);
        const THTMLTextLayout layout(Text(markup), 200);
        (void)Draw(layout, QRect(QPoint(0, 0), layout.Size()));
        (void)layout.AnchorAt(QPointF(5, 5));
    }
}

TEST(HTMLText, TheFilterKeepsTheSupportedSubsetAndShowsTheRestAsText) {
    THTMLMarkupOptions options;
    options.LinkColor = QStringLiteral("#0000ff");
    const struct {
        const char16_t *in;
        const char16_t *out;
    } cases[] = {
        {u"<B>bold</b> <i>it</I>", u"<b>bold</b> <i>it</i>"},
        {u"<u><s>x</u>", u"<u><s>x</s></u>"},
        {u"a < b > c", u"a &lt; b &gt; c"},
        {u"<unknown>kept</unknown><script>if (a<b) x</scripts></script>", u"kept"},
        {u"<STYLE type=\"text/css\">p{color:red}</Style >shown<style>cut", u"shown"},
        {u"<!-- note -->x<?xml?>", u"x"},
        {u"<font color=\"#ff0000\" face=\"Noto Sans\" size=\"+2\" style=\"x\">f</font>",
         u"<font color=\"#ff0000\" face=\"Noto Sans\" size=\"+2\">f</font>"},
        {u"<font color=\"url(x)\" size=\"99\">f</font>", u"<font>f</font>"},
        {u"<a href=\"u\" onclick=\"y\">l</a>",
         u"<a href=\"u\" style=\"color:#0000ff;text-decoration:underline\">l</a>"},
        {u"<img src=\"nothing\">x", u"x"},
        {u"<p align=center>c<br/>d", u"<p align=\"center\">c<br>d</p>"},
        {u"&amp; &#65; &#x42; &#0; &nbsp; & x", u"&amp; A B \uFFFD &nbsp; &amp; x"},
        {u"</b>stray<b/>", u"stray"},
        {u"tab\tand\x01nul", u"tab\tandnul"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FilterMarkup(QString::fromUtf16(c.in), options), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();
}

} // namespace
