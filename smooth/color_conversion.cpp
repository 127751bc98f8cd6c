#include "color_conversion.h"

ARGB ColorToARGB(std::uint8_t alpha, TColor color) {
    const TColor rgb = ColorToRGB(color);
    return MakeARGB(alpha, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

ARGB ColorToOpaqueARGB(TColor color) {
    return ColorToARGB(255, color);
}
