// Samples of the gradient label and panel: every caption brush, the ten text places, the panel's
// caption with its rule at the top and the bottom, and HTML text with a link, a picture and a
// shadow.
#include "gallery.h"

#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanel.h"
#include "TImageList.h"

#include <QLabel>
#include <QPainter>
#include <QWidget>

#include <array>
#include <memory>
#include <utility>

namespace {

const QColor Background(189, 216, 244);
constexpr int Gap = 8;
constexpr int CaptionHeight = 16;

/// A sheet of the window's background colour that children are placed on.
std::unique_ptr<QWidget> Sheet(int width, int height) {
    auto sheet = std::make_unique<QWidget>();
    sheet->resize(width, height);
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, Background);
    sheet->setPalette(palette);
    sheet->setAutoFillBackground(true);
    return sheet;
}

/// A small caption above a cell.
void Title(QWidget &sheet, int x, int y, int width, const QString &text) {
    auto *label = new QLabel(text, &sheet);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    label->setGeometry(x, y, width, CaptionHeight);
}

/// A checked tile for the texture brush.
QImage Tile() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor(30, 90, 200));
    QPainter p(&image);
    p.fillRect(0, 0, 4, 4, QColor(230, 60, 40));
    p.fillRect(4, 4, 4, 4, QColor(230, 60, 40));
    return image;
}

/// A caption font that is installed here: Persian and Latin text both show.
TFont SampleFont(int height, bool bold = true) {
    TFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Height = height;
    font.Style.Bold = bold;
    return font;
}

QImage LabelKindsSample() {
    const std::array<std::pair<TAdvGradientType, const char *>, 11> kinds{{
        {gtSolid, "gtSolid"},
        {gtRadial, "gtRadial (no text)"},
        {gtVertical, "gtVertical"},
        {gtHorizontal, "gtHorizontal"},
        {gtForwardDiagonal, "gtForwardDiagonal"},
        {gtBackwardDiagonal, "gtBackwardDiagonal"},
        {gtAngle, "gtAngle (no text)"},
        {gtHatch, "gtHatch"},
        {gtPath, "gtPath (no text)"},
        {gtTexture, "gtTexture"},
        {gtNone, "gtNone (no text)"},
    }};
    constexpr int Columns = 4;
    constexpr int Width = 180;
    constexpr int Height = 50;
    const int rows = (int(kinds.size()) + Columns - 1) / Columns;
    auto sheet = Sheet(Gap + Columns * (Width + Gap), Gap + rows * (Height + CaptionHeight + Gap));
    for (int i = 0; i < int(kinds.size()); ++i) {
        const int x = Gap + (i % Columns) * (Width + Gap);
        const int y = Gap + (i / Columns) * (Height + CaptionHeight + Gap);
        Title(*sheet, x, y, Width, QString::fromLatin1(kinds[std::size_t(i)].second));
        auto *label = new TAdvSmoothLabel(sheet.get());
        label->setGeometry(x, y + CaptionHeight, Width, Height);
        label->SetTransparent(false);
        label->Fill().SetColor(clWhite);
        label->Fill().SetColorTo(RGBColor(225, 225, 225));
        label->Fill().SetBorderColor(clGray);
        TAdvSmoothLabelCaption &caption = label->Caption();
        caption.SetText(QStringLiteral("Zorvane"));
        caption.SetFont(SampleFont(-32));
        caption.SetColorStart(clRed);
        caption.SetColorEnd(clNavy);
        caption.SetGradientType(kinds[std::size_t(i)].first);
        caption.SetHatchStyle(HatchStyleDiagonalCross);
        caption.Picture().Assign(Tile());
    }
    return sheet->grab().toImage();
}

QImage LabelLocationsSample() {
    const std::array<std::pair<TAdvSmoothLabelLocation, const char *>, 10> places{{
        {plTopLeft, "plTopLeft"},
        {plTopCenter, "plTopCenter"},
        {plTopRight, "plTopRight"},
        {plCenterLeft, "plCenterLeft"},
        {plCenterCenter, "plCenterCenter"},
        {plCenterRight, "plCenterRight"},
        {plBottomLeft, "plBottomLeft"},
        {plBottomCenter, "plBottomCenter"},
        {plBottomRight, "plBottomRight"},
        {plCustom, "plCustom (30, 20)"},
    }};
    constexpr int Columns = 5;
    constexpr int Width = 150;
    constexpr int Height = 70;
    auto sheet = Sheet(Gap + Columns * (Width + Gap), Gap + 2 * (Height + CaptionHeight + Gap));
    for (int i = 0; i < int(places.size()); ++i) {
        const int x = Gap + (i % Columns) * (Width + Gap);
        const int y = Gap + (i / Columns) * (Height + CaptionHeight + Gap);
        Title(*sheet, x, y, Width, QString::fromLatin1(places[std::size_t(i)].second));
        auto *label = new TAdvSmoothLabel(sheet.get());
        label->setGeometry(x, y + CaptionHeight, Width, Height);
        label->SetTransparent(false);
        label->Fill().SetColor(RGBColor(255, 250, 235));
        label->Fill().SetColorTo(RGBColor(250, 225, 170));
        label->Fill().SetBorderColor(RGBColor(160, 120, 60));
        TAdvSmoothLabelCaption &caption = label->Caption();
        caption.SetText(QStringLiteral("زوروان"));
        caption.SetFont(SampleFont(-16));
        caption.SetColorStart(clRed);
        caption.SetColorEnd(clBlack);
        caption.SetOpacityEnd(100);
        caption.SetLocation(places[std::size_t(i)].first);
        caption.SetLeft(30);
        caption.SetTop(20);
    }
    return sheet->grab().toImage();
}

/// A panel with the amber look of the window's header and room for a caption.
TAdvSmoothPanel *AmberPanel(QWidget &sheet, const QRect &geometry) {
    auto *panel = new TAdvSmoothPanel(&sheet);
    panel->setGeometry(geometry);
    TGDIPFill &fill = panel->Fill();
    fill.SetColor(10092543);
    fill.SetColorTo(52479);
    fill.SetBorderColor(7042912);
    fill.SetRounding(6);
    fill.SetShadowOffset(5);
    panel->Caption().SetFont(SampleFont(-16));
    panel->Caption().SetColorStart(clBlack);
    panel->Caption().SetColorEnd(RGBColor(120, 60, 0));
    return panel;
}

QImage PanelCaptionSample() {
    constexpr int Width = 220;
    constexpr int Height = 90;
    auto sheet = Sheet(Gap + 2 * (Width + Gap), Gap + Height + CaptionHeight + Gap);
    const std::array<std::pair<TAdvSmoothPanelLocation, const char *>, 2> places{{
        {plTopLeft, "plTopLeft: rule under the text"},
        {plBottomCenter, "plBottomCenter: rule above it"},
    }};
    for (int i = 0; i < 2; ++i) {
        const int x = Gap + i * (Width + Gap);
        Title(*sheet, x, Gap, Width, QString::fromLatin1(places[std::size_t(i)].second));
        TAdvSmoothPanel *panel = AmberPanel(*sheet, QRect(x, Gap + CaptionHeight, Width, Height));
        panel->Caption().SetText(QStringLiteral("Zorvane Online"));
        panel->Caption().SetLocation(places[std::size_t(i)].first);
        panel->Caption().SetLineColor(RGBColor(120, 60, 0));
    }
    return sheet->grab().toImage();
}

QImage PanelHTMLSample() {
    static TImageList images;
    if (images.Count() == 0) {
        QImage dot(16, 16, QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::transparent);
        QPainter p(&dot);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(40, 160, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.end();
        images.Add(dot);
    }
    auto sheet = Sheet(2 * Gap + 300, 2 * Gap + 130);
    TAdvSmoothPanel *panel = AmberPanel(*sheet, QRect(Gap, Gap, 300, 130));
    panel->SetImages(&images);
    TAdvSmoothPanelCaption &caption = panel->Caption();
    caption.SetText(QStringLiteral("News"));
    caption.SetLineColor(RGBColor(120, 60, 0));
    TFont html = SampleFont(-13, false);
    html.Color = clBlack;
    caption.SetHTMLFont(html);
    caption.SetHTMLShadowColor(RGBColor(210, 150, 40));
    caption.SetHTMLShadowOffset(2);
    caption.SetHTMLLocation(plCenterCenter);
    caption.SetHTMLText(QStringLiteral(
        "<img src=\"0\"> <b>New client</b> ready: <i>faster</i>, <u>safer</u>, <s>slower</s>"
        "<br><font color=\"#a00000\" size=\"+1\">نسخه جدید</font> · "
        "<a href=\"https://zorvane.example/news\">read more</a>"));
    return sheet->grab().toImage();
}

const GalleryRegistration registered{
    {"label-kinds", LabelKindsSample},
    {"label-locations", LabelLocationsSample},
    {"panel-caption", PanelCaptionSample},
    {"panel-html", PanelHTMLSample},
};

} // namespace
