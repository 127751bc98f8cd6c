// The gradient panel: defaults and copies, the fill rectangle, the caption's rule and place,
// the background behind its corners, links under the mouse and the image list's removal.
#include "TAdvSmoothPanel.h"
#include "TGPFont.h"
#include "caption_brush.h"
#include "caption_layout.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

/// A panel with a flat red face and nothing else: no border, shadow, rounding or rule.
void MakeFlat(TAdvSmoothPanel &panel, int width, int height) {
    panel.resize(width, height);
    panel.Fill().SetColor(clRed);
    panel.Fill().SetColorTo(clRed);
    panel.Fill().SetBorderColor(clNone);
    panel.Fill().SetShadowOffset(0);
    panel.Caption().SetLineColor(clNone);
}

/// The first row (from the top) whose middle pixel is pure blue.
int BlueRow(const QImage &image) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(image.width() / 2, y) == QColor(Qt::blue))
            return y;
    return -1;
}

/// The height the panel measures for its caption text.
float CaptionHeight(const TAdvSmoothPanel &panel) {
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    TGPGraphics graphics(&painter);
    graphics.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    const auto font = CreateCaptionFont(panel.Caption().Font());
    const TGPStringFormat format(0, 0);
    TGPRectF box;
    graphics.MeasureString(panel.Caption().Text(), -1, font.get(),
                           TGPRectF{0, 0, float(panel.width()), float(panel.height())}, &format,
                           &box);
    return box.Height;
}

void SendMouse(QWidget &widget, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST(SmoothPanel, StartsDoubleBufferedWithItsDefaultsAndVersion) {
    TAdvSmoothPanel panel;
    EXPECT_EQ(panel.size(), QSize(256, 128));
    EXPECT_TRUE(panel.DoubleBuffered());
    EXPECT_EQ(panel.Version(), QStringLiteral("1.0.0.5"));
    EXPECT_FALSE(panel.testAttribute(Qt::WA_OpaquePaintEvent));
    const TAdvSmoothPanelCaption &caption = panel.Caption();
    EXPECT_EQ(caption.Location(), plTopLeft);
    EXPECT_EQ(caption.HTMLLocation(), plCenterCenter);
    EXPECT_EQ(caption.Font().SizeInPoints(), 12);
    EXPECT_EQ(caption.HTMLURLColor(), clBlue);
    EXPECT_EQ(caption.HTMLShadowColor(), clGray);
    EXPECT_EQ(caption.HTMLShadowOffset(), 5);
    EXPECT_EQ(caption.ColorStart(), clWhite);
    EXPECT_EQ(caption.ColorEnd(), clSilver);
    EXPECT_EQ(caption.LineColor(), RGBColor(28, 114, 176));
    EXPECT_EQ(panel.HTMLRect(), TRect{});
}

TEST(SmoothPanel, ADesignerPlacedPanelTakesPresetFourAndSampleContentWhenFirstMade) {
    TAdvSmoothPanel placed(nullptr, TCreation::DesignerPlaced);
    placed.setObjectName(QStringLiteral("AdvSmoothPanel9"));
    EXPECT_EQ(placed.Fill().Color(), TColor(0x99FFFF));
    EXPECT_EQ(placed.Fill().ShadowOffset(), 0);
    placed.ensurePolished();
    EXPECT_EQ(placed.Fill().ShadowOffset(), 10);
    EXPECT_EQ(placed.Fill().Rounding(), 10);
    EXPECT_EQ(placed.Caption().Text(), QStringLiteral("AdvSmoothPanel9"));

    TAdvSmoothPanel stored;
    stored.ensurePolished();
    EXPECT_EQ(stored.Fill().ShadowOffset(), 0);
    EXPECT_TRUE(stored.Caption().Text().isEmpty());
}

TEST(SmoothPanel, CopiesCaptionWithFontsAndFillButIgnoresOtherKinds) {
    TAdvSmoothPanel source;
    source.Caption().SetText(QStringLiteral("t"));
    source.Caption().SetHTMLText(QStringLiteral("<b>h</b>"));
    source.Caption().SetHTMLFont(TestFont(-13));
    source.Caption().SetFont(TestFont(-20));
    source.Caption().SetLineColor(clNone);
    source.Caption().SetHTMLShadowOffset(2);
    source.Fill().SetRounding(7);
    TAdvSmoothPanel copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Caption().Text(), QStringLiteral("t"));
    EXPECT_EQ(copy.Caption().HTMLText(), QStringLiteral("<b>h</b>"));
    EXPECT_EQ(copy.Caption().HTMLFont(), TestFont(-13));
    EXPECT_EQ(copy.Caption().Font(), TestFont(-20));
    EXPECT_EQ(copy.Caption().LineColor(), clNone);
    EXPECT_EQ(copy.Caption().HTMLShadowOffset(), 2);
    EXPECT_EQ(copy.Fill().Rounding(), 7);
    QWidget other;
    copy.Assign(&other);
    EXPECT_EQ(copy.Fill().Rounding(), 7);
}

TEST(SmoothPanel, FillsTheWholePanelWithoutABorderAndStopsOnePixelShortWithOne) {
    TAdvSmoothPanel panel;
    MakeFlat(panel, 40, 20);
    EXPECT_EQ(PaintOnWhite(panel).pixelColor(39, 19), QColor(Qt::red));
    panel.Fill().SetBorderColor(clBlue);
    const QImage bordered = PaintOnWhite(panel);
    EXPECT_EQ(bordered.pixelColor(39, 10), QColor(Qt::blue));
    EXPECT_EQ(bordered.pixelColor(38, 10), QColor(Qt::red));
    panel.Fill().SetBorderWidth(0);
    EXPECT_EQ(PaintOnWhite(panel).pixelColor(39, 19), QColor(Qt::red));
}

TEST(SmoothPanel, DrawsTheRuleUnderATopCaptionAndTwoPixelsAboveABottomOne) {
    TAdvSmoothPanel panel;
    MakeFlat(panel, 160, 60);
    panel.Fill().SetColor(clWhite);
    panel.Fill().SetColorTo(clWhite);
    TAdvSmoothPanelCaption &caption = panel.Caption();
    caption.SetFont(TestFont());
    caption.SetText(QStringLiteral("Zorvane"));
    // No brush: the text is left out and only the rule is drawn.
    caption.SetGradientType(gtNone);
    caption.SetLineColor(clBlue);
    const float th = CaptionHeight(panel);
    ASSERT_GT(th, 10);
    EXPECT_NEAR(BlueRow(PaintOnWhite(panel)), th, 1.0);
    caption.SetLocation(plBottomCenter);
    EXPECT_NEAR(BlueRow(PaintOnWhite(panel)), 60 - std::nearbyint(th) - 2, 1.0);
    // A face that is not installed draws no text, but the rule still shows.
    TFont missing = TestFont();
    missing.Name = QStringLiteral("No Such Face Anywhere");
    caption.SetFont(missing);
    caption.SetGradientType(gtSolid);
    caption.SetLocation(plTopLeft);
    EXPECT_EQ(BlueRow(PaintOnWhite(panel)), 0);
}

TEST(SmoothPanel, AWideCaptionNeverStartsLeftOfTheContent) {
    EXPECT_EQ(PanelTextPosition(plTopCenter, TGPRectF{0, 0, 100, 40}, 300, 20), QPoint(0, 0));
    EXPECT_EQ(PanelTextPosition(plTopCenter, TGPRectF{10, 4, 100, 40}, 300, 20), QPoint(5, 4));
    EXPECT_EQ(PanelTextPosition(plTopRight, TGPRectF{10, 4, 100, 40}, 300, 20).x(), 10);
    EXPECT_EQ(PanelTextPosition(plCenterRight, TGPRectF{0, 0, 100, 40}, 40, 20), QPoint(60, 10));
    EXPECT_EQ(PanelTextPosition(plBottomLeft, TGPRectF{3, 0, 100, 40.5f}, 40, 20.5f),
              QPoint(3, 20));
}

/// A parent painted red on its left half and blue on its right half.
class TwoColourParent : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), Qt::red);
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(), Qt::blue);
    }
};

TEST(SmoothPanel, ShowsTheParentBehindItsCornersWhereverItMoves) {
    TwoColourParent parent;
    parent.resize(200, 60);
    auto *panel = new TAdvSmoothPanel(&parent);
    panel->setGeometry(10, 10, 60, 40);
    panel->Fill().SetColor(clWhite);
    panel->Fill().SetColorTo(clWhite);
    panel->Fill().SetRounding(10);
    EXPECT_EQ(parent.grab().toImage().pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(parent.grab().toImage().pixelColor(40, 30), QColor(Qt::white));
    panel->move(120, 10);
    const QImage moved = parent.grab().toImage();
    EXPECT_EQ(moved.pixelColor(120, 10), QColor(Qt::blue));
    EXPECT_EQ(moved.pixelColor(150, 30), QColor(Qt::white));
    EXPECT_EQ(moved.pixelColor(10, 10), QColor(Qt::red));
}

class PanelLinks : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(200, 60);
        panel.Caption().SetHTMLFont(TestFont(-14));
        panel.Caption().SetHTMLLocation(plTopLeft);
        panel.Caption().SetHTMLText(QStringLiteral("<a href=\"go\">LINK</a> plain text"));
        panel.OnAnchorClick = [this](TAdvSmoothPanel *, const QString &anchor) {
            clicks.push_back(anchor);
        };
        (void)panel.grab();
        ASSERT_GT(panel.HTMLRect().Right, panel.HTMLRect().Left);
    }
    QPoint OnLink() const { return {panel.HTMLRect().Left + 5, panel.HTMLRect().Top + 6}; }
    QPoint OnPlainText() const { return {panel.HTMLRect().Right - 5, panel.HTMLRect().Top + 6}; }

    TAdvSmoothPanel panel;
    std::vector<QString> clicks;
};

TEST_F(PanelLinks, TheHandCursorShowsOverALinkOnlyAndAClickThereReportsIt) {
    SendMouse(panel, QEvent::MouseMove, OnLink());
    EXPECT_TRUE(panel.OverAnchor());
    EXPECT_EQ(panel.cursor().shape(), Qt::PointingHandCursor);
    SendMouse(panel, QEvent::MouseButtonPress, OnLink());
    EXPECT_EQ(clicks, std::vector<QString>{QStringLiteral("go")});

    for (const QPoint elsewhere : {OnPlainText(), QPoint(199, 59)}) {
        SendMouse(panel, QEvent::MouseMove, elsewhere);
        EXPECT_FALSE(panel.OverAnchor());
        EXPECT_EQ(panel.cursor().shape(), Qt::ArrowCursor);
        SendMouse(panel, QEvent::MouseButtonPress, elsewhere);
    }
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(PanelLinks, WithoutHTMLTextTheArrowStaysAndNothingIsClicked) {
    panel.Caption().SetHTMLText(QString());
    SendMouse(panel, QEvent::MouseMove, OnLink());
    EXPECT_EQ(panel.cursor().shape(), Qt::ArrowCursor);
    SendMouse(panel, QEvent::MouseButtonPress, OnLink());
    EXPECT_TRUE(clicks.empty());
}

TEST(SmoothPanel, TheKeptHTMLLayoutFollowsChangesOfItsPicturesAndText) {
    TAdvSmoothPanel panel;
    panel.resize(120, 40);
    TGDIPPictureContainer pictures;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::green);
    pictures.Add(QStringLiteral("logo"), picture);
    panel.SetPictureContainer(&pictures);
    panel.Caption().SetHTMLText(QStringLiteral("<img src=\"logo\">"));
    auto shows = [&panel](QColor colour) {
        const QImage face = panel.grab().toImage();
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                if (face.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    ASSERT_TRUE(shows(Qt::green));
    picture.fill(Qt::blue);
    pictures.Add(QStringLiteral("logo"), picture);
    EXPECT_TRUE(shows(Qt::blue));
    panel.Caption().SetHTMLText(QStringLiteral("text"));
    EXPECT_FALSE(shows(Qt::blue));
}

TEST(SmoothPanel, DestroyingTheImageListClearsTheReferenceAndThePanelStillPaints) {
    TAdvSmoothPanel panel;
    panel.resize(120, 40);
    panel.Caption().SetHTMLText(QStringLiteral("<img src=\"0\"> x"));
    auto images = std::make_unique<TImageList>();
    QImage green(10, 10, QImage::Format_ARGB32);
    green.fill(Qt::green);
    images->Add(green);
    auto pictures = std::make_unique<TGDIPPictureContainer>();
    panel.SetImages(images.get());
    panel.SetPictureContainer(pictures.get());
    EXPECT_EQ(panel.Images(), images.get());
    images.reset();
    pictures.reset();
    EXPECT_EQ(panel.Images(), nullptr);
    EXPECT_EQ(panel.PictureContainer(), nullptr);
    const QImage face = panel.grab().toImage();
    EXPECT_EQ(face.pixelColor(2, 20).alpha(), 255);
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            ASSERT_NE(face.pixelColor(x, y), QColor(Qt::green)) << x << "," << y;
    EXPECT_GT(panel.HTMLRect().Right, 0);
}

} // namespace
