#pragma once

#include "gdiplus_types.h"

#include <QImage>

#include <array>
#include <cstdint>

/// The 8 rows of a hatch pattern, top row first; bit 0x80 is the leftmost pixel, a set bit
/// takes the foreground colour. The style must lie in 0 to 52.
const std::array<std::uint8_t, 8> &HatchPatternRows(HatchStyle style);

/// True for the 53 drawable styles, 0 to 52.
constexpr bool IsValidHatchStyle(int style) {
    return style >= 0 && style < HatchStyleTotal;
}

/// The 8 x 8 premultiplied tile of a valid style in the two colours.
QImage HatchTile(HatchStyle style, ARGB foreground, ARGB background);
