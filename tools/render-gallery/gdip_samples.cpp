// Samples of the drawing layer: every hatch pattern, a gradient with and without gamma
// correction, a path gradient and gradient text in Latin and Persian.
#include "gallery.h"

#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphics.h"
#include "TGPGraphicsPath.h"
#include "TGPLinearGradientBrush.h"
#include "TGPPathGradientBrush.h"
#include "color_conversion.h"

#include <QFontDatabase>

namespace {

constexpr ARGB Black = MakeARGB(255, 0, 0, 0);
constexpr ARGB White = MakeARGB(255, 255, 255, 255);

QImage Blank(int width, int height) {
    return GalleryCanvas(width, height, Qt::white);
}

/// The 53 hatches in 16 x 16 cells, eight to a row, black on white.
QImage Hatches() {
    QImage image = Blank(8 * 16, 7 * 16);
    TGPGraphics graphics(&image);
    for (int style = 0; style < 53; ++style) {
        TGPHatchBrush brush(style, Black, White);
        graphics.FillRectangle(&brush, float(16 * (style % 8)), float(16 * (style / 8)), 16, 16);
    }
    return image;
}

/// Black to white over 256 x 20: plain above, gamma-corrected below.
QImage Gamma() {
    QImage image = Blank(256, 40);
    TGPGraphics graphics(&image);
    for (const bool corrected : {false, true}) {
        const float top = corrected ? 20.0f : 0.0f;
        TGPLinearGradientBrush brush(TGPPointF{0, 0}, TGPPointF{256, 0}, Black, White);
        brush.SetGammaCorrection(corrected);
        graphics.FillRectangle(&brush, 0, top, 256, 20);
    }
    return image;
}

/// An ellipse whose centre is white and whose edge is blue.
QImage PathGradient() {
    QImage image = Blank(160, 100);
    TGPGraphics graphics(&image);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    TGPGraphicsPath path;
    path.AddEllipse(10, 10, 140, 80);
    TGPPathGradientBrush brush(path);
    brush.SetCenterColor(White);
    ARGB edge = MakeARGB(255, 0, 64, 192);
    int count = 1;
    brush.SetSurroundColors(&edge, &count);
    graphics.FillPath(&brush, &path);
    return image;
}

/// Latin and Persian text with an opaque and a half-transparent vertical gradient.
QImage Text() {
    QImage image = Blank(320, 120);
    TGPGraphics graphics(&image);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    const QStringList installed = QFontDatabase::families();
    const QString face = installed.contains(QStringLiteral("Noto Sans Arabic"), Qt::CaseInsensitive)
                             ? QStringLiteral("Noto Sans Arabic")
                             : QStringLiteral("DejaVu Sans");
    TGPFontFamily family(face);
    TGPFont font(family, 12);
    const QString lines[] = {QStringLiteral("Zorvane Online"),
                             QString::fromUtf8("زوروان آنلاین سردل")};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const float x = 8.0f + 160.0f * float(column);
            const float y = 8.0f + 56.0f * float(row);
            const ARGB end = MakeARGB(column == 0 ? 255 : 100, 0, 0, 0);
            TGPLinearGradientBrush brush(TGPPointF{x, y}, TGPPointF{x, y + 40},
                                         MakeARGB(255, 255, 0, 0), end);
            graphics.DrawString(lines[row], -1, &font, TGPPointF{x, y}, &brush);
        }
    }
    return image;
}

const GalleryRegistration registered{
    {"gdip-hatch", Hatches},
    {"gdip-gamma", Gamma},
    {"gdip-pathgradient", PathGradient},
    {"gdip-text", Text},
};

} // namespace
