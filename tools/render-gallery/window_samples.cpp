// The whole updater window as it shows after start-up (the visible client area only), and its
// header panel with the title on the window's background.
#include "gallery.h"

#include "Unit1.h"
#include "header_controls.h"
#include "window_texts.h"

#include <QWidget>

namespace {

/// AdvSmoothPanel3 with AdvSmoothLabel1, as the window makes them, on Shape1's colour with a
/// margin that shows the panel's shadow and corners.
QImage PanelHeaderSample() {
    constexpr int Margin = 8;
    QWidget background;
    background.resize(258 + 2 * Margin, 43 + 2 * Margin);
    QPalette palette = background.palette();
    palette.setColor(QPalette::Window, QColor(189, 216, 244));
    background.setPalette(palette);
    background.setAutoFillBackground(true);
    TSmoothPanelControl *panel = CreateTitlePanel(&background);
    panel->setGeometry(Margin, Margin, 258, 43);
    TSmoothLabelControl *title = CreateTitleLabel(WindowText::ClientTitle(), panel);
    title->setGeometry(14, 1, 230, 39);
    return background.grab().toImage();
}

const GalleryRegistration registered{
    {"window",
     [] {
         TForm1 form;
         form.resize(342, 256);
         return form.grab().toImage();
     }},
    {"panel-header", PanelHeaderSample},
};

} // namespace
