#include "TGPFont.h"

#include "gdiplus_lifetime.h"

#include <QFontDatabase>

#include <cmath>

TGPFontFamily::TGPFontFamily(const QString &name) {
    if (name.trimmed().isEmpty()) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    const QString wanted = name.trimmed();
    for (const QString &family : InstalledFontFamilies()) {
        if (family.compare(wanted, Qt::CaseInsensitive) == 0) {
            FName = family;
            return;
        }
    }
    SetStatus(GpStatus::FontFamilyNotFound);
}

TGPFont::TGPFont(const TGPFontFamily &family, float emSize, int style, Unit unit) : FStyle(style) {
    if (!family.HasHandle() || !std::isfinite(emSize) || emSize <= 0) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    switch (unit) {
    case UnitWorld:
    case UnitPixel:
        FEmPixels = emSize;
        break;
    case UnitPoint:
        FEmPixels = emSize * 96.0 / 72.0;
        break;
    case UnitInch:
        FEmPixels = emSize * 96.0;
        break;
    case UnitDocument:
        FEmPixels = emSize * 96.0 / 300.0;
        break;
    case UnitMillimeter:
        FEmPixels = emSize * 96.0 / 25.4;
        break;
    default:
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    if (QFontDatabase::styles(family.GetFamilyName()).isEmpty()) {
        SetStatus(GpStatus::FontStyleNotFound);
        return;
    }
    FFont = QFont(family.GetFamilyName());
    // Layout runs on a 96-dpi device, where points * 96 / 72 gives the pixels wanted.
    FFont.setPointSizeF(FEmPixels * 72.0 / 96.0);
    FFont.setBold((style & FontStyleBold) != 0);
    FFont.setItalic((style & FontStyleItalic) != 0);
    FFont.setUnderline((style & FontStyleUnderline) != 0);
    FFont.setStrikeOut((style & FontStyleStrikeout) != 0);
    FFont.setKerning(true);
    FHasHandle = true;
}

TGPStringFormat::TGPStringFormat(int formatFlags, int /*language*/) : FFlags(formatFlags) {}

GpStatus TGPStringFormat::SetFormatFlags(int flags) {
    FFlags = flags;
    return GpStatus::Ok;
}

GpStatus TGPStringFormat::SetAlignment(StringAlignment alignment) {
    if (alignment < StringAlignmentNear || alignment > StringAlignmentFar)
        return SetStatus(GpStatus::InvalidParameter);
    FAlignment = alignment;
    return GpStatus::Ok;
}

GpStatus TGPStringFormat::SetLineAlignment(StringAlignment alignment) {
    if (alignment < StringAlignmentNear || alignment > StringAlignmentFar)
        return SetStatus(GpStatus::InvalidParameter);
    FLineAlignment = alignment;
    return GpStatus::Ok;
}
