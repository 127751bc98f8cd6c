// Samples of the gradient fill: the window's header panel fill on the window's background, every
// kind with and without a mirror part, the six rounding types, and the picture placements.
#include "gallery.h"
#include "header_controls.h"

#include "TGDIPFill.h"
#include "TGPGraphics.h"

#include <QBuffer>
#include <QPainter>

#include <array>
#include <utility>

namespace {

constexpr int CellWidth = 120;
constexpr int CellHeight = 64;
constexpr int CaptionHeight = 16;
constexpr int Gap = 8;
const QColor WindowBackground(189, 216, 244);

/// A small picture: a filled circle with a dark ring on a transparent square.
QImage Badge(int side, QColor colour) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
    return image;
}

/// A checked tile for the texture kind.
QImage Tile() {
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(QColor(250, 235, 200));
    QPainter p(&image);
    p.fillRect(0, 0, 6, 6, QColor(200, 120, 60));
    p.fillRect(6, 6, 6, 6, QColor(200, 120, 60));
    return image;
}

/// A canvas of columns x rows captioned cells on the window's background.
QImage Sheet(int columns, int rows) {
    return GalleryCanvas(Gap + columns * (CellWidth + Gap),
                         Gap + rows * (CellHeight + CaptionHeight + Gap), WindowBackground);
}

/// Draws fill into cell (column, row) of a sheet, with its caption above it.
void DrawCell(QImage &sheet, int column, int row, const QString &caption, const TGDIPFill &fill) {
    const int x = Gap + column * (CellWidth + Gap);
    const int y = Gap + row * (CellHeight + CaptionHeight + Gap);
    QPainter painter(&sheet);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.drawText(QRect(x, y, CellWidth, CaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     caption);
    TGPGraphics graphics(&painter);
    fill.DrawFill(graphics, TGPRectF{float(x), float(y + CaptionHeight), float(CellWidth - 1),
                                     float(CellHeight - 1)});
}

QImage HeaderSample() {
    QImage image = GalleryCanvas(258, 43, WindowBackground);
    TGDIPFill fill;
    ApplyTitlePanelFill(fill);
    QPainter painter(&image);
    TGPGraphics graphics(&painter);
    fill.DrawFill(graphics, TGPRectF{0, 0, 257, 42});
    return image;
}

QImage KindsSample() {
    const std::array<std::pair<TAdvGradientType, const char *>, 11> kinds{{
        {gtSolid, "gtSolid"},
        {gtRadial, "gtRadial"},
        {gtVertical, "gtVertical"},
        {gtHorizontal, "gtHorizontal"},
        {gtForwardDiagonal, "gtForwardDiagonal"},
        {gtBackwardDiagonal, "gtBackwardDiagonal"},
        {gtAngle, "gtAngle 30"},
        {gtHatch, "gtHatch"},
        {gtPath, "gtPath"},
        {gtTexture, "gtTexture"},
        {gtNone, "gtNone"},
    }};
    QImage sheet = Sheet(int(kinds.size()), 2);
    for (int i = 0; i < int(kinds.size()); ++i) {
        for (int mirror = 0; mirror < 2; ++mirror) {
            TGDIPFill fill;
            fill.SetColor(RGBColor(230, 240, 255));
            fill.SetColorTo(RGBColor(40, 90, 200));
            fill.SetGradientType(kinds[std::size_t(i)].first);
            fill.SetHatchStyle(HatchStyleDiagonalCross);
            fill.SetAngle(30);
            fill.BackGroundPicture().Assign(Tile());
            fill.SetBackGroundPicturePosition(ppTiled);
            fill.SetBorderColor(RGBColor(20, 40, 90));
            fill.SetRounding(6);
            if (mirror == 1) {
                fill.SetColorMirror(RGBColor(20, 60, 160));
                fill.SetColorMirrorTo(RGBColor(120, 200, 255));
                fill.SetGradientMirrorType(kinds[std::size_t(i)].first);
                fill.SetHatchStyleMirror(HatchStyleLargeCheckerBoard);
            }
            DrawCell(sheet, i, mirror, QString::fromLatin1(kinds[std::size_t(i)].second), fill);
        }
    }
    return sheet;
}

QImage RoundingSample() {
    const std::array<std::pair<TFillRoundingType, const char *>, 6> types{{
        {rtNone, "rtNone"},
        {rtTop, "rtTop"},
        {rtBottom, "rtBottom"},
        {rtBoth, "rtBoth"},
        {rtLeft, "rtLeft"},
        {rtRight, "rtRight"},
    }};
    QImage sheet = Sheet(int(types.size()), 2);
    for (int i = 0; i < int(types.size()); ++i) {
        for (int row = 0; row < 2; ++row) {
            TGDIPFill fill;
            ApplyTitlePanelFill(fill);
            fill.SetRounding(8);
            fill.SetRoundingType(types[std::size_t(i)].first);
            if (row == 1) {
                fill.SetColorMirror(RGBColor(255, 170, 0));
                fill.SetColorMirrorTo(RGBColor(255, 235, 160));
            }
            DrawCell(sheet, i, row,
                     QString::fromLatin1(types[std::size_t(i)].second) +
                         (row == 1 ? QStringLiteral(" mirror") : QString()),
                     fill);
        }
    }
    return sheet;
}

QImage PicturesSample() {
    const std::array<std::pair<TFillPicturePosition, const char *>, 12> positions{{
        {ppTopLeft, "ppTopLeft"},
        {ppTopCenter, "ppTopCenter"},
        {ppTopRight, "ppTopRight"},
        {ppBottomLeft, "ppBottomLeft"},
        {ppBottomCenter, "ppBottomCenter"},
        {ppBottomRight, "ppBottomRight"},
        {ppTiled, "ppTiled (none)"},
        {ppStretched, "ppStretched"},
        {ppCenterLeft, "ppCenterLeft"},
        {ppCenterCenter, "ppCenterCenter"},
        {ppCenterRight, "ppCenterRight"},
        {ppCustom, "ppCustom (4, 4)"},
    }};
    constexpr int Columns = 6;
    QImage sheet = Sheet(Columns, 2);
    for (int i = 0; i < int(positions.size()); ++i) {
        TGDIPFill fill;
        fill.SetColor(RGBColor(255, 255, 255));
        fill.SetColorTo(RGBColor(200, 200, 200));
        fill.SetBorderColor(RGBColor(90, 90, 90));
        fill.Picture().Assign(Badge(20, QColor(220, 60, 60)));
        fill.SetPicturePosition(positions[std::size_t(i)].first);
        // Custom places in surface coordinates: the sheet's top-left corner, not the cell's.
        fill.SetPictureLeft(4);
        fill.SetPictureTop(4);
        DrawCell(sheet, i % Columns, i / Columns,
                 QString::fromLatin1(positions[std::size_t(i)].second), fill);
    }
    return sheet;
}

const GalleryRegistration registered{
    {"fill-header", HeaderSample},
    {"fill-kinds", KindsSample},
    {"fill-rounding", RoundingSample},
    {"fill-pictures", PicturesSample},
};

} // namespace
