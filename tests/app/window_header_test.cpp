// The window's header as drawn offscreen: the amber panel's gradient, border and shadow over
// Shape1's colour, and the two gradient texts in the face the header falls back to.
#include "form_harness.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

using harness::FakeWorld;

namespace {

class WindowHeader : public ::testing::Test {
protected:
    harness::ApplicationFirst application;
    FakeWorld world;
    harness::ScratchFolder folder;
    TForm1 form{world.Services(QStringLiteral("http://127.0.0.1:9"), folder.Path())};

    QImage Render() {
        form.resize(342, 256);
        return form.grab().toImage();
    }
};

/// The panel's top-left corner in window pixels (Panel1 at 8, 8 plus its 41, 44).
constexpr int PanelX = 49;
constexpr int PanelY = 52;
const QColor Background(189, 216, 244);
const QColor Border(96, 119, 107); // 7042912

bool Near(QColor actual, QColor wanted, int tolerance = 3) {
    return std::abs(actual.red() - wanted.red()) <= tolerance &&
           std::abs(actual.green() - wanted.green()) <= tolerance &&
           std::abs(actual.blue() - wanted.blue()) <= tolerance;
}

bool Darker(QColor actual, QColor than) {
    return actual.red() < than.red() - 4 && actual.green() < than.green() - 4 &&
           actual.blue() < than.blue() - 4;
}

TEST_F(WindowHeader, ThePanelShowsItsAmberGradientBorderAndShadowOverTheBackground) {
    const QImage image = Render();
    auto at = [&](int x, int y) { return image.pixelColor(PanelX + x, PanelY + y); };
    // Light yellow (255, 255, 153) at the top, amber (255, 204, 0) at the bottom; away from
    // the title, which is centred.
    EXPECT_TRUE(Near(at(10, 2), QColor(255, 255, 153), 10)) << at(10, 2).name().toStdString();
    EXPECT_TRUE(Near(at(10, 36), QColor(255, 204, 0), 45)) << at(10, 36).name().toStdString();
    EXPECT_GT(at(10, 2).blue(), at(10, 20).blue());
    EXPECT_GT(at(10, 20).blue(), at(10, 36).blue());
    // The grey-green border on all four sides of the body (258 - 1 - 5 wide, 43 - 1 - 5 high).
    for (const QPoint p : {QPoint(0, 20), QPoint(20, 0), QPoint(252, 20), QPoint(128, 37)})
        EXPECT_TRUE(Near(at(p.x(), p.y()), Border)) << p.x() << "," << p.y();
    // The shadow darkens the background right of and below the body, and ends within the
    // panel's rectangle.
    EXPECT_TRUE(Darker(at(254, 20), Background));
    EXPECT_TRUE(Darker(at(128, 40), Background));
    EXPECT_EQ(at(258, 20), Background);
    EXPECT_EQ(at(128, 43), Background);
    // The corners are rounded: the outermost corner pixel shows what lies behind.
    EXPECT_FALSE(Near(at(0, 0), Border, 1));
}

TEST_F(WindowHeader, TheTitleIsDrawnInAnInstalledPersianCapableFaceAndTheAddressInOneThatWritesIt) {
    const QString face = HeaderFontFace();
    const QStringList installed = QFontDatabase::families();
    EXPECT_TRUE(installed.contains(face, Qt::CaseInsensitive));
    EXPECT_EQ(form.AdvSmoothLabel1->Caption().Font().Name, face);
    const QString addressFace = form.AdvSmoothLabel2->Caption().Font().Name;
    EXPECT_TRUE(installed.contains(addressFace, Qt::CaseInsensitive)) << addressFace.toStdString();
    EXPECT_TRUE(QFontDatabase::writingSystems(addressFace).contains(QFontDatabase::Latin));
    EXPECT_EQ(form.AdvSmoothLabel1->Caption().OpacityEnd(), 100);
    EXPECT_EQ(form.AdvSmoothLabel2->Caption().ColorStart(), clRed);
    EXPECT_TRUE(form.AdvSmoothPanel3->Caption().Text().isEmpty());

    const QImage image = Render();
    // Dark ink of the title inside the panel's middle, red ink of the address above it.
    int titleInk = 0;
    for (int y = PanelY + 5; y < PanelY + 35; ++y)
        for (int x = PanelX + 60; x < PanelX + 200; ++x)
            titleInk += image.pixelColor(x, y).green() < 100 ? 1 : 0;
    EXPECT_GT(titleInk, 100);
    int addressInk = 0;
    for (int y = 23; y < 23 + 27; ++y)
        for (int x = 63; x < 63 + 230; ++x) {
            const QColor c = image.pixelColor(x, y);
            addressInk += c.red() > 150 && c.green() < 120 ? 1 : 0;
        }
    EXPECT_GT(addressInk, 30);
}

} // namespace
