#pragma once

#include "TGdiplusBase.h"

#include <QFont>
#include <QString>

/// An installed font family, looked up by name without substitution.
///
/// A name that no installed family carries (compared case-insensitively) stores
/// FontFamilyNotFound; an empty name InvalidParameter. Either way there is no family.
class TGPFontFamily : public TGdiplusBase {
public:
    explicit TGPFontFamily(const QString &name);
    bool HasHandle() const { return !FName.isEmpty(); }
    /// The family's name as the font database spells it.
    const QString &GetFamilyName() const { return FName; }

private:
    QString FName;
};

/// A font: family, em size, style bits.
///
/// Sizes convert to pixels at 96 pixels per inch (12 points = 16 pixels). A family without a
/// handle, a size that is not a positive finite number or the unit "display" store
/// InvalidParameter; a family without any style stores FontStyleNotFound. Bold and italic
/// that a family lacks are synthesised, as the font system does.
class TGPFont : public TGdiplusBase {
public:
    TGPFont(const TGPFontFamily &family, float emSize, int style = FontStyleRegular,
            Unit unit = UnitPoint);

    bool HasHandle() const { return FHasHandle; }
    /// Em size in pixels.
    double EmPixels() const { return FEmPixels; }
    int GetStyle() const { return FStyle; }
    /// The font for Qt's text layout, sized for a 96-dpi layout device.
    const QFont &QtFont() const { return FFont; }

private:
    QFont FFont;
    double FEmPixels = 0;
    int FStyle = FontStyleRegular;
    bool FHasHandle = false;
};

/// How strings are laid out: flags (no wrap, no clip, right to left) and the alignments.
class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(int formatFlags = 0, int language = 0);

    int GetFormatFlags() const { return FFlags; }
    GpStatus SetFormatFlags(int flags);
    StringAlignment GetAlignment() const { return FAlignment; }
    /// Horizontal placement; values outside near to far give InvalidParameter.
    GpStatus SetAlignment(StringAlignment alignment);
    StringAlignment GetLineAlignment() const { return FLineAlignment; }
    /// Vertical placement; values outside near to far give InvalidParameter.
    GpStatus SetLineAlignment(StringAlignment alignment);

private:
    int FFlags = 0;
    StringAlignment FAlignment = StringAlignmentNear;
    StringAlignment FLineAlignment = StringAlignmentNear;
};
