#include "gdip_text.h"

#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphics.h"
#include "color_conversion.h"
#include "rounding.h"

#include <QFontDatabase>

namespace {

int StyleBits(const TFont &font) {
    return (font.Style.Bold ? FontStyleBold : 0) | (font.Style.Italic ? FontStyleItalic : 0) |
           (font.Style.Underline ? FontStyleUnderline : 0);
}

bool FamilyOrStyleMissing(GpStatus status) {
    return status == GpStatus::FontFamilyNotFound || status == GpStatus::FontStyleNotFound;
}

} // namespace

std::unique_ptr<TGPFont> FontFromTFont(const TFont &font) {
    const float size = float(font.SizeInPoints());
    const int style = StyleBits(font);
    auto make = [&](const QString &name) {
        TGPFontFamily family(name);
        auto result = std::make_unique<TGPFont>(family, size, style, UnitPoint);
        const GpStatus status = family.HasHandle() ? result->LastStatus() : family.LastStatus();
        return std::pair{std::move(result), status};
    };
    auto [made, status] = make(font.Name);
    if (!FamilyOrStyleMissing(status))
        return std::move(made);
    auto [arial, arialStatus] = make(QStringLiteral("Arial"));
    if (!FamilyOrStyleMissing(arialStatus))
        return std::move(arial);
    return make(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()).first;
}

int GDIPTextHeight(TGPGraphics &graphics, const QString &text, const TFont &font) {
    const auto gpFont = FontFromTFont(font);
    TGPRectF box;
    graphics.MeasureString(text, -1, gpFont.get(), TGPRectF{0, 0, 10000, 10000}, nullptr, &box);
    return int(RoundHalfEven(box.Height));
}

int DrawTextGDIP(TGPGraphics &graphics, const QString &text, int length, TColor background,
                 unsigned flags, const TFont &font, TRect &rc) {
    const auto gpFont = FontFromTFont(font);
    QString s = length < 0 || length >= text.size() ? text : text.left(length);
    const bool calculate = (flags & DT_CALCRECT) != 0;

    if (calculate || background != clNone) {
        const int points = font.SizeInPoints();
        double margin = 2;
        if (points > 8)
            margin += double(RoundHalfEven((points - 8) / 1.5L));
        graphics.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
        // A trailing space would not be measured; the letter i stands in for its width.
        if (s.size() > 1 && s.back() == QLatin1Char(' '))
            s.back() = QLatin1Char('i');
        TGPRectF box;
        graphics.MeasureString(s, -1, gpFont.get(),
                               TGPRectF{float(rc.Left), float(rc.Top),
                                        float(rc.Right - rc.Left + 1000),
                                        float(rc.Bottom - rc.Top)},
                               nullptr, &box);
        rc.Right = rc.Left + int(RoundHalfEven(box.Width - margin));
        rc.Bottom = rc.Top + int(RoundHalfEven(box.Height));
        if (background != clNone) {
            TGPSolidBrush brush(ColorToOpaqueARGB(background));
            graphics.FillRectangle(&brush, float(rc.Left + 1), float(rc.Top),
                                   float(box.Width - margin + 1), box.Height);
        }
    }
    if (!calculate) {
        graphics.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
        TGPSolidBrush brush(ColorToOpaqueARGB(font.Color));
        graphics.DrawString(s, -1, gpFont.get(), TGPPointF{float(rc.Left), float(rc.Top)}, &brush);
    }
    return rc.Bottom - rc.Top;
}
