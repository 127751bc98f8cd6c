// The gradient label: its defaults and copies, where its text goes, what each paint draws and
// when it repaints.
#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanelCaption.h"
#include "caption_layout.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

/// A label of the given size with black text in an installed face.
void Prepare(TAdvSmoothLabel &label, int width, int height, const QString &text) {
    label.resize(width, height);
    label.Caption().SetFont(TestFont());
    label.Caption().SetColorStart(clBlack);
    label.Caption().SetColorEnd(clBlack);
    label.Caption().SetText(text);
}

TEST(SmoothLabel, StartsTransparentOnOneLineWithItsDefaultsAndVersion) {
    TAdvSmoothLabel label;
    EXPECT_EQ(label.size(), QSize(280, 50));
    EXPECT_TRUE(label.Transparent());
    EXPECT_FALSE(label.WordWrap());
    EXPECT_EQ(label.Version(), QStringLiteral("1.1.0.0"));
    label.SetVersion(QStringLiteral("9.9"));
    EXPECT_EQ(label.Version(), QStringLiteral("1.1.0.0"));
    const TAdvSmoothLabelCaption &caption = label.Caption();
    EXPECT_TRUE(caption.Text().isEmpty());
    EXPECT_EQ(caption.Location(), plCenterCenter);
    EXPECT_EQ(caption.Font().SizeInPoints(), 20);
    EXPECT_EQ(caption.ColorStart(), RGBColor(159, 224, 255));
    EXPECT_EQ(caption.ColorEnd(), RGBColor(0, 79, 117));
    EXPECT_EQ(caption.GradientType(), gtVertical);
    EXPECT_EQ(caption.HatchStyle(), HatchStyleHorizontal);
    EXPECT_EQ(TAdvSmoothLabel(nullptr, TCreation::DesignerPlaced).Caption().Text(),
              QStringLiteral("AdvSmoothLabel"));
}

TEST(SmoothLabel, CopiesCaptionFillAndFlagsButIgnoresOtherKinds) {
    TAdvSmoothLabel source;
    source.Caption().SetText(QStringLiteral("x"));
    source.Caption().SetLocation(plCustom);
    source.Caption().SetLeft(7);
    source.Caption().SetOpacityEnd(100);
    source.Caption().SetFont(TestFont(-20));
    source.Fill().SetColor(clRed);
    source.SetTransparent(false);
    source.SetWordWrap(true);

    TAdvSmoothLabel copy;
    int changes = 0;
    copy.Caption().OnChange = [&](TAdvSmoothLabelCaption *) { ++changes; };
    copy.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Caption().Text(), QStringLiteral("x"));
    EXPECT_EQ(copy.Caption().Location(), plCustom);
    EXPECT_EQ(copy.Caption().Left(), 7);
    EXPECT_EQ(copy.Caption().OpacityEnd(), 100);
    EXPECT_EQ(copy.Caption().Font(), TestFont(-20));
    EXPECT_EQ(copy.Fill().Color(), clRed);
    EXPECT_FALSE(copy.Transparent());
    EXPECT_TRUE(copy.WordWrap());

    QWidget other;
    copy.Assign(&other);
    copy.Assign(nullptr);
    copy.Caption().Assign(nullptr);
    EXPECT_EQ(copy.Caption().Text(), QStringLiteral("x"));
    EXPECT_EQ(changes, 1);
}

TEST(SmoothCaption, SettingAPictureNotifiesOnceAlsoWhenAnEmptyOneClearsIt) {
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::red);
    TAdvGDIPPicture picture;
    picture.Assign(tile);
    const TAdvGDIPPicture empty;
    TAdvSmoothLabelCaption label;
    TAdvSmoothPanelCaption panel;
    int changes = 0;
    label.OnChange = [&](TAdvSmoothLabelCaption *) { ++changes; };
    panel.OnChange = [&](TAdvSmoothPanelCaption *) { ++changes; };
    label.SetPicture(picture);
    panel.SetPicture(picture);
    EXPECT_EQ(changes, 2);
    label.SetPicture(empty);
    panel.SetPicture(empty);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(label.Picture().Empty());
    EXPECT_TRUE(panel.Picture().Empty());
}

TEST(SmoothLabel, PlacesTextByRoundingTiesToEvenAndTruncatingHalves) {
    // Measured widths of 100.5 and 101.5 count as 100 and 102.
    EXPECT_EQ(LabelTextPosition(plTopRight, 200, 50, 100.5f, 10).x(), 100);
    EXPECT_EQ(LabelTextPosition(plTopRight, 200, 50, 101.5f, 10).x(), 98);
    // Half of -3 is -1 and half of 3 is 1.
    EXPECT_EQ(LabelTextPosition(plTopCenter, 100, 50, 103, 10).x(), -1);
    EXPECT_EQ(LabelTextPosition(plTopCenter, 100, 50, 97, 10).x(), 1);
    // Text 10 pixels wider than the label, centred, starts at -5.
    EXPECT_EQ(LabelTextPosition(plCenterCenter, 100, 50, 110, 20), QPoint(-5, 15));
    EXPECT_EQ(LabelTextPosition(plBottomRight, 100, 50, 40, 20), QPoint(60, 30));
    EXPECT_EQ(LabelTextPosition(plCenterLeft, 100, 51, 40, 20), QPoint(0, 15));
}

TEST(SmoothLabel, DrawsNothingWhenOnePixelWideOrHigh) {
    for (const QSize size : {QSize(1, 40), QSize(200, 1)}) {
        TAdvSmoothLabel label;
        Prepare(label, size.width(), size.height(), QStringLiteral("Zorvane"));
        label.SetTransparent(false);
        label.Fill().SetColor(clRed);
        label.Fill().SetColorTo(clRed);
        EXPECT_TRUE(AllWhite(PaintOnWhite(label))) << size.width() << "x" << size.height();
    }
}

TEST(SmoothLabel, EmptyTextDrawsOnlyTheFillOrNothingWhenTransparent) {
    TAdvSmoothLabel label;
    Prepare(label, 60, 30, QString());
    EXPECT_TRUE(AllWhite(PaintOnWhite(label)));
    label.SetTransparent(false);
    label.Fill().SetColor(clRed);
    label.Fill().SetColorTo(clRed);
    const QImage filled = PaintOnWhite(label);
    EXPECT_EQ(filled.pixelColor(30, 15), QColor(Qt::red));
}

TEST(SmoothLabel, AMissingFaceDrawsNoTextAndPlCustomOutsideDrawsNothing) {
    TAdvSmoothLabel label;
    Prepare(label, 200, 40, QStringLiteral("Zorvane"));
    ASSERT_FALSE(AllWhite(PaintOnWhite(label)));
    TFont missing = TestFont();
    missing.Name = QStringLiteral("No Such Face Anywhere");
    label.Caption().SetFont(missing);
    EXPECT_TRUE(AllWhite(PaintOnWhite(label)));

    label.Caption().SetFont(TestFont());
    label.resize(280, 40);
    label.Caption().SetLocation(plCustom);
    label.Caption().SetLeft(300);
    EXPECT_TRUE(AllWhite(PaintOnWhite(label)));
    label.Caption().SetLeft(20);
    label.Caption().SetTop(5);
    const QRect ink = InkBounds(PaintOnWhite(label));
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.left(), 26);
}

TEST(SmoothLabel, CentredTextWiderThanTheLabelIsCutOnBothSides) {
    TAdvSmoothLabel label;
    Prepare(label, 60, 30, QStringLiteral("Zorvane Online Sardel"));
    const QRect ink = InkBounds(PaintOnWhite(label));
    EXPECT_LE(ink.left(), 1);
    EXPECT_GE(ink.right(), 56);
}

TEST(SmoothLabel, StaysOnOneLineUnlessWordWrapIsOn) {
    TAdvSmoothLabel label;
    Prepare(label, 120, 120, QStringLiteral("one two three four five six"));
    label.Caption().SetLocation(plTopLeft);
    const QRect single = InkBounds(PaintOnWhite(label));
    label.SetWordWrap(true);
    const QRect wrapped = InkBounds(PaintOnWhite(label));
    EXPECT_LT(single.height(), 24);
    EXPECT_GT(wrapped.height(), 2 * single.height());
    EXPECT_LE(wrapped.right(), 119);
}

TEST(SmoothLabel, OpacityEndZeroFadesTheTextOutTowardTheBottom) {
    TAdvSmoothLabel label;
    Prepare(label, 60, 80, QStringLiteral("|"));
    label.Caption().SetFont(TestFont(-60));
    label.Caption().SetOpacityEnd(0);
    const QImage image = PaintOnWhite(label);
    const QRect ink = InkBounds(image, 2);
    ASSERT_GT(ink.height(), 30);
    auto darkest = [&](int y) {
        int value = 255;
        for (int x = ink.left(); x <= ink.right(); ++x)
            value = std::min(value, image.pixelColor(x, y).red());
        return value;
    };
    EXPECT_LT(darkest(ink.top() + 2), 100);
    EXPECT_GT(darkest(ink.bottom()), 200);
    EXPECT_GT(darkest(ink.center().y()), darkest(ink.top() + 2));
}

TEST(SmoothLabel, RepaintsOnlyWhenAValueChanges) {
    QWidget parent;
    parent.resize(300, 60);
    auto *label = new TAdvSmoothLabel(&parent);
    Prepare(*label, 280, 50, QStringLiteral("Zorvane"));
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QApplication::processEvents();
    PaintCounter paints(label);
    label->Caption().SetColorStart(clBlack);
    label->SetTransparent(true);
    label->SetWordWrap(false);
    label->Caption().SetText(QStringLiteral("Zorvane"));
    QApplication::processEvents();
    EXPECT_EQ(paints.Count, 0);
    label->Caption().SetColorStart(clRed);
    QApplication::processEvents();
    EXPECT_EQ(paints.Count, 1);
    // Text compares exactly, so a change of case repaints.
    label->Caption().SetText(QStringLiteral("ZORVANE"));
    QApplication::processEvents();
    EXPECT_EQ(paints.Count, 2);
}

} // namespace
