#pragma once

#include "gdiplus_types.h"

#include "TColor.h"

#include <cstdint>

/// Packs four channels into an ARGB colour.
constexpr ARGB MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}

/// Turns a toolkit colour into ARGB with the given alpha; a system colour is first resolved to
/// its current RGB value. Callers test for clNone before calling: it is no colour to convert.
ARGB ColorToARGB(std::uint8_t alpha, TColor color);

/// ColorToARGB with alpha 255.
ARGB ColorToOpaqueARGB(TColor color);
