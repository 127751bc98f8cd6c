#include "progress_bar1_description.h"

#include "bitmap_file.h"

#include <QImage>
#include <QRect>

namespace {

/// Place and size in the window's client area.
constexpr QRect ProgressBar1Geometry(100, 178, 150, 23);
constexpr TColor ProgressBar1BorderColor = 0x00686868;
constexpr TColor ProgressBar1Color = clWhite;
/// The window's copy of the WinXP progress picture: 6 x 10 pixels, 256 colours.
constexpr char16_t ProgressBar1Picture[] = u":/window/pictures/progress_bar1.bmp";

} // namespace

void ApplyProgressBar1Description(TsuiProgressBar &bar) {
    bar.setGeometry(ProgressBar1Geometry);
    bar.SetUIStyle(TsuiUIStyle::WinXP);
    bar.SetCaptionColor(clBlack);
    bar.SetShowCaption(true);
    bar.SetSmartShowCaption(false);
    bar.SetMax(100);
    bar.SetMin(0);
    bar.SetPosition(0);
    bar.SetOrientation(suiHorizontal);
    bar.SetBorderColor(ProgressBar1BorderColor);
    bar.SetColor(ProgressBar1Color);
    bar.Picture().Assign(ReadBitmapFile(QString::fromUtf16(ProgressBar1Picture)));
}
