// The window as the user meets it: geometry, hidden controls, focus and tab order, reading
// order, self-sizing labels, and a rendered picture.
#include "application_start.h"
#include "form_harness.h"

#include <QIcon>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using harness::FakeWorld;

namespace {

/// Calls its function whenever the watched widget is about to paint.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(std::function<void()> seen) : seen_(std::move(seen)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            seen_();
        return false;
    }

private:
    std::function<void()> seen_;
};

class WindowLayout : public ::testing::Test {
protected:
    harness::ApplicationFirst application;
    FakeWorld world;
    harness::ScratchFolder folder;
    TForm1 form{world.Services(QStringLiteral("http://127.0.0.1:9"), folder.Path())};

    /// Geometry of `widget` in window coordinates.
    QRect InWindow(QWidget *widget) const {
        return QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size());
    }
    void ShowAndActivate() {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

TEST_F(WindowLayout, VisibleControlsSitWhereTheDescriptionPutsThemUnmirrored) {
    form.show();
    EXPECT_EQ(form.size(), QSize(342, 256));
    EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(InWindow(form.Panel1), QRect(8, 8, 329, 241));
    EXPECT_EQ(InWindow(form.Shape1), QRect(12, 12, 321, 206));
    EXPECT_EQ(InWindow(form.BitBtn1), QRect(112, 104, 130, 65));
    EXPECT_EQ(InWindow(form.AdvSmoothLabel2), QRect(63, 23, 230, 27));
    EXPECT_EQ(InWindow(form.AdvSmoothPanel3), QRect(49, 52, 258, 43));
    EXPECT_EQ(InWindow(form.AdvSmoothLabel1), QRect(63, 53, 230, 39));
    EXPECT_EQ(InWindow(form.Panel2), QRect(12, 218, 321, 27));
    EXPECT_EQ(InWindow(form.Shape2), QRect(13, 219, 319, 25));
    // The progress bar belongs to the window and lies above Panel1, left of Label3.
    EXPECT_EQ(form.ProgressBar1->parentWidget(), &form);
    EXPECT_EQ(form.ProgressBar1->geometry(), QRect(100, 178, 150, 23));
    EXPECT_EQ(form.childAt(120, 190), form.ProgressBar1);
    EXPECT_LT(form.ProgressBar1->geometry().right(), InWindow(form.Label3).left());
    EXPECT_EQ(form.ProgressBar1->Text(), QStringLiteral("0%"));
    // Before the first download the bottom bar shows only its two captions.
    EXPECT_FALSE(form.status->isVisible());
    EXPECT_FALSE(form.Label2->isVisible());
    EXPECT_TRUE(form.Label4->isVisible());
    EXPECT_TRUE(form.Label5->isVisible());
    EXPECT_FALSE(form.Label1->isVisible());
}

TEST_F(WindowLayout, DiagnosticsControlsExistBelowTheVisibleArea) {
    form.show();
    const QRect client = form.rect();
    for (QWidget *hidden :
         {static_cast<QWidget *>(form.Button1), static_cast<QWidget *>(form.Memo1),
          static_cast<QWidget *>(form.Button3), static_cast<QWidget *>(form.ProgressBar2)}) {
        EXPECT_GE(hidden->y(), 328);
        EXPECT_FALSE(client.intersects(hidden->geometry())) << hidden->metaObject()->className();
    }
    EXPECT_EQ(form.Button1->geometry(), QRect(223, 369, 105, 25));
    EXPECT_EQ(form.Memo1->geometry(), QRect(32, 352, 185, 89));
}

TEST_F(WindowLayout, FixedDialogThatStaysOnTopWithOnlyTheCloseButton) {
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    form.show();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

TEST_F(WindowLayout, FocusStartsOnTheHiddenButtonAndTabWalksTheDescriptionOrder) {
    ShowAndActivate();
    EXPECT_EQ(QApplication::focusWidget(), form.Button1);
    // Tab leaves the memo instead of typing a tab into it.
    const QString memoText = form.Memo1->toPlainText();
    std::vector<QWidget *> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(visited,
              (std::vector<QWidget *>{form.Memo1, form.Button3, form.BitBtn1, form.Button1}));
    EXPECT_EQ(form.Memo1->toPlainText(), memoText);

    // Enter presses whichever button has the focus, the download button too.
    world.internet.connected = false;
    form.BitBtn1->setFocus();
    QTest::keyClick(form.BitBtn1, Qt::Key_Return);
    EXPECT_EQ(world.shell.Opened().size(), 1);
}

TEST_F(WindowLayout, BottomBarLabelsKeepTheirRightEdgeAsTheirTextChanges) {
    form.show();
    const int statusRight = form.status->geometry().right();
    const int countRight = form.Label2->geometry().right();
    EXPECT_EQ(statusRight + 1, 236);
    EXPECT_EQ(countRight + 1, 64);
    form.status->SetCaption(QStringLiteral("12.50 s|1234.56 KB/s"));
    form.Label2->SetCaption(QStringLiteral("123456789"));
    EXPECT_EQ(form.status->geometry().right(), statusRight);
    EXPECT_EQ(form.Label2->geometry().right(), countRight);
    EXPECT_GT(form.status->width(), 31);
    form.Label2->SetCaption(QString());
    EXPECT_EQ(form.Label2->width(), 0);
    EXPECT_EQ(form.Label2->geometry().x(), 64);
}

TEST_F(WindowLayout, ButtonPictureIsThirtyTwoSquareWithItsWhiteBackgroundTransparent) {
    const QImage picture = form.BitBtn1->Glyph().toImage();
    ASSERT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(picture.pixel(0, 31)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(16, 16)), 255);
    // The source is a 16-bit picture with 5-5-5 masks: a 2048-byte pixel block.
    QFile bitmap(QStringLiteral(":/zorvane/download_globe.bmp"));
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly));
    EXPECT_EQ(bitmap.size() - 66, 2048);
}

TEST_F(WindowLayout, RendersTheWholeWindowOffscreen) {
    // ZORVANE_WINDOW_PNG names a file to keep the picture in, for a person to look at.
    form.Label2->setVisible(true);
    form.status->setVisible(true);
    form.status->SetCaption(QStringLiteral("3.50 s|12.35 KB/s"));
    form.Label2->SetCaption(QStringLiteral("43210"));
    form.ProgressBar1->SetPosition(42);
    form.resize(342, 256);
    const QImage picture = form.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(342, 256));
    const QString keep = qEnvironmentVariable("ZORVANE_WINDOW_PNG");
    if (!keep.isEmpty())
        picture.save(keep);
    // Silver window, the dark navy bottom bar, the progress bar's white trough.
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(picture.pixelColor(150, 238), QColor(0, 0, 83));
    EXPECT_EQ(picture.pixelColor(20, 180), QColor(189, 216, 244));
    EXPECT_EQ(picture.pixelColor(240, 180), QColor(Qt::white));
}

TEST_F(WindowLayout, ButtonCaptionIsDrawnWholeWhereItsFaceInksBeyondItsLine) {
    // DejaVu Sans at 13 pixels draws the madda of the caption's آ above its ascent.
    QFont face(QStringLiteral("DejaVu Sans"));
    face.setPixelSize(13);
    const QFontMetrics metrics(face);
    const QRect ink = metrics.tightBoundingRect(form.BitBtn1->text());
    if (QFontInfo(face).family() != face.family() || ink.top() >= -metrics.ascent())
        GTEST_SKIP() << "no face here draws the caption beyond its line";
    form.BitBtn1->setFont(face);
    const QImage withCaption = form.BitBtn1->grab().toImage();
    form.BitBtn1->setText(QString());
    const QImage without = form.BitBtn1->grab().toImage();
    // The caption's own pixels span as many rows as its ink.
    int first = -1, last = -1;
    for (int y = 0; y < withCaption.height(); ++y)
        for (int x = 0; x < withCaption.width(); ++x)
            if (withCaption.pixel(x, y) != without.pixel(x, y)) {
                first = first < 0 ? y : first;
                last = y;
            }
    EXPECT_GE(last - first + 1, ink.height());
}

TEST_F(WindowLayout, ShownWindowPaintsFirstAndThenGetsTheApplicationIcon) {
    QApplication::setWindowIcon(QIcon());
    bool iconAtFirstPaint = true;
    PaintWatch watch([&] { iconAtFirstPaint = !QApplication::windowIcon().isNull(); });
    form.installEventFilter(&watch);
    ShowUpdaterWindow(form);
    ASSERT_TRUE(harness::ProcessEventsUntil([] { return !QApplication::windowIcon().isNull(); }));
    EXPECT_FALSE(iconAtFirstPaint);
    // Every size of the icon file, the window's own icon following the application's.
    EXPECT_GE(QApplication::windowIcon().availableSizes().size(), 4);
    EXPECT_FALSE(form.windowIcon().isNull());
}

} // namespace
