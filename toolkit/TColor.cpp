#include "TColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QPalette CurrentPalette() {
    // Before an application object exists Qt still answers with its built-in default palette.
    return QGuiApplication::palette();
}

TColor FromQColor(const QColor &c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

} // namespace

TColor ColorToRGB(TColor color) {
    if (!IsSystemColor(color))
        return color;
    const QPalette palette = CurrentPalette();
    switch (color & 0xFF) {
    case 8: // window text
        return FromQColor(palette.color(QPalette::Active, QPalette::WindowText));
    case 15: // button face
        return FromQColor(palette.color(QPalette::Active, QPalette::Button));
    case 5: // window background
        return FromQColor(palette.color(QPalette::Active, QPalette::Base));
    case 18: // button text
        return FromQColor(palette.color(QPalette::Active, QPalette::ButtonText));
    case 13: // highlight
        return FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
    case 14: // highlighted text
        return FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    case 16: // button shadow
        return FromQColor(palette.color(QPalette::Active, QPalette::Dark));
    case 20: // button highlight
        return FromQColor(palette.color(QPalette::Active, QPalette::Light));
    default:
        return FromQColor(palette.color(QPalette::Active, QPalette::Window));
    }
}
