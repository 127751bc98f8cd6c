#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <QThread>

#include <memory>

namespace {

class ProgressStyle : public WidgetTest {};

TEST_F(ProgressStyle, ReapplyingTheStyleDiscardsExplicitLook) {
    TsuiProgressBar bar;
    bar.SetUIStyle(TsuiUIStyle::WinXP);
    bar.SetColor(clWhite);
    bar.SetBorderColor(clRed);
    bar.Picture().Assign(Solid(2, 2, clLime));
    EXPECT_EQ(bar.Color(), clWhite);

    bar.SetUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(bar.Color(), 0x00DEEBEFu);
    EXPECT_EQ(bar.BorderColor(), 0x00686868u);
    EXPECT_EQ(bar.Picture().Image().size(), QSize(6, 10));

    bar.SetColor(clWhite);
    bar.SetOrientation(suiHorizontal);
    EXPECT_EQ(bar.Color(), 0x00DEEBEFu);
}

TEST_F(ProgressStyle, WithoutAReadySourceTheSkinStyleLooksLikeDeepBlue) {
    TsuiProgressBar deepBlue;
    const QImage expected = Render(deepBlue);

    TsuiProgressBar noSource;
    noSource.SetUIStyle(TsuiUIStyle::FromThemeFile);
    EXPECT_EQ(Render(noSource), expected);

    InMemoryFileTheme notReady;
    notReady.IsReady = false;
    TsuiProgressBar withSource;
    withSource.SetFileTheme(&notReady);
    withSource.SetUIStyle(TsuiUIStyle::FromThemeFile);
    EXPECT_EQ(Render(withSource), expected);
    EXPECT_EQ(withSource.StartCapBitmap(), nullptr);
}

/// A ready source with one-colour caps 3 pixels long, a track and a filled part.
std::unique_ptr<InMemoryFileTheme> MakeSource() {
    auto source = std::make_unique<InMemoryFileTheme>();
    source->Bitmaps[TsuiFileTheme::ProgressStartCapItem] = Solid(3, 8, clRed);
    source->Bitmaps[TsuiFileTheme::ProgressBarItem] = Solid(8, 8, clLime);
    source->Bitmaps[TsuiFileTheme::ProgressTrackItem] = Solid(4, 8, clGray);
    source->Bitmaps[TsuiFileTheme::ProgressEndCapItem] = Solid(3, 8, clBlue);
    source->Colors[TsuiFileTheme::ControlColorItem] = clYellow;
    source->Colors[TsuiFileTheme::ControlBorderColorItem] = clFuchsia;
    return source;
}

TEST_F(ProgressStyle, SkinSourceDrawsCapsTrackAndFilledPartWithoutFrame) {
    const auto source = MakeSource();
    TsuiProgressBar bar;
    bar.resize(40, 8);
    bar.SetFileTheme(source.get());
    bar.SetUIStyle(TsuiUIStyle::FromThemeFile);
    bar.SetShowCaption(false);
    EXPECT_EQ(bar.Color(), clYellow);
    EXPECT_EQ(bar.BorderColor(), clFuchsia);
    ASSERT_NE(bar.StartCapBitmap(), nullptr);
    EXPECT_EQ(bar.StartCapBitmap()->format(), QImage::Format_RGB888);

    // 40 - 3 - 3 = 34 pixels of track, half of them (17) filled.
    const QImage image = Render(bar);
    EXPECT_EQ(image.copy(0, 0, 3, 8), Solid(3, 8, clRed));
    EXPECT_EQ(image.copy(3, 0, 17, 8), Solid(17, 8, clLime));
    EXPECT_EQ(image.copy(20, 0, 17, 8), Solid(17, 8, clGray));
    EXPECT_EQ(image.copy(37, 0, 3, 8), Solid(3, 8, clBlue));
}

TEST_F(ProgressStyle, VerticalSkinSourceGrowsUpFromTheStartCap) {
    const auto source = MakeSource();
    TsuiProgressBar bar;
    bar.resize(8, 40);
    bar.SetUIStyle(TsuiUIStyle::FromThemeFile);
    bar.SetOrientation(suiVertical);
    bar.SetFileTheme(source.get());
    EXPECT_EQ(bar.StartCapBitmap()->size(), QSize(8, 3)) << "caps are turned too";

    Render(bar);
    EXPECT_TRUE(bar.ShowCaption()) << "only the picture mode turns the caption off";
    bar.SetShowCaption(false);
    const QImage image = Render(bar);
    EXPECT_EQ(image.copy(0, 37, 8, 3), Solid(8, 3, clRed));
    EXPECT_EQ(image.copy(0, 20, 8, 17), Solid(8, 17, clLime));
    EXPECT_EQ(image.copy(0, 3, 8, 17), Solid(8, 17, clGray));
    EXPECT_EQ(image.copy(0, 0, 8, 3), Solid(8, 3, clBlue));
}

TEST_F(ProgressStyle, DestroyedSourceIsDetachedAndDeepBlueTakesOver) {
    auto source = MakeSource();
    TsuiProgressBar bar;
    bar.SetFileTheme(source.get());
    bar.SetUIStyle(TsuiUIStyle::FromThemeFile);
    ASSERT_EQ(bar.Color(), clYellow);
    source.reset();
    EXPECT_EQ(bar.FileTheme(), nullptr);
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(bar.Color(), 0x00E8E8E8u);
    TsuiProgressBar deepBlue;
    EXPECT_EQ(Render(bar), Render(deepBlue));
}

#ifndef QT_NO_DEBUG
TEST_F(ProgressStyle, SettingFromAnotherThreadIsCaughtInDebugBuilds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            TsuiProgressBar bar;
            std::unique_ptr<QThread> worker(QThread::create([&bar] { bar.SetPosition(1); }));
            worker->start();
            worker->wait();
        },
        "GUI thread only");
}
#endif

} // namespace
