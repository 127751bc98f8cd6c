#pragma once

#include "TColor.h"

#include <QFont>
#include <QString>

#include <cstdint>

/// Character sets a font description may name; only carried along, Qt picks glyphs by script.
enum class TFontCharset : std::uint8_t { Ansi = 0, Default = 1, Arabic = 178 };

/// Style bits of a font description.
struct TFontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFontStyles &) const = default;
};

/// A toolkit font description: face, height, style, character set and colour.
///
/// Height follows the toolkit's sign rule: a negative height is the character (em) height in
/// pixels; a positive height is the cell height, which also includes the internal leading.
struct TFont {
    QString Name = QStringLiteral("Tahoma");
    int Height = -11;
    TFontStyles Style;
    TFontCharset Charset = TFontCharset::Default;
    TColor Color = clWindowText;

    bool operator==(const TFont &) const = default;

    /// Size in points at the design resolution of 96 pixels per inch, as the toolkit reports it
    /// for a negative height (-16 gives 12 points).
    int SizeInPoints() const;

    /// The equivalent QFont, sized in pixels; the face is requested as named, and Qt may answer
    /// with another family when it is not installed.
    QFont ToQFont() const;
};
