#include "TFont.h"

#include "rounding.h"

#include <QFontMetricsF>

#include <cmath>
#include <cstdlib>

int TFont::SizeInPoints() const {
    // The toolkit's conversion: points = -height * 72 / 96, rounded (MulDiv rounds halves up).
    const int pixels = std::abs(Height);
    return (pixels * 72 + 48) / 96;
}

QFont TFont::ToQFont() const {
    QFont font(Name);
    font.setBold(Style.Bold);
    font.setItalic(Style.Italic);
    font.setUnderline(Style.Underline);
    font.setStrikeOut(Style.StrikeOut);
    const int pixels = std::max(1, std::abs(Height));
    font.setPixelSize(pixels);
    if (Height > 0) {
        // A positive height is the cell height (ascent + descent): scale the em so the cell fits.
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0) {
            const double em = pixels * pixels / cell;
            font.setPixelSize(std::max(1, int(RoundHalfEven(em))));
        }
    }
    return font;
}
