#pragma once

#include "fill_types.h"
#include "gdiplus_types.h"

#include <optional>

/// Where a fill draws a picture of width x height placed at position inside area.
///
/// The centred placements offset by half the spare room, truncated toward zero (so a picture
/// larger than area sticks out on both sides). ppCustom puts the picture at (customLeft,
/// customTop) in surface coordinates, not relative to area. ppTiled places nothing (the tiling
/// is the fill's body). Edges that would overflow 32 bits stop at the integer limits.
std::optional<TRect> PicturePlacement(TFillPicturePosition position, int width, int height,
                                      const TRect &area, int customLeft, int customTop);
