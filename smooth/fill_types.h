#pragma once

#include <cstdint>

/// The kinds of brush a fill part or a caption can be painted with. gtPath and gtNone paint no
/// body of their own.
enum TAdvGradientType : std::int32_t {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone,
};

/// Which corners of a fill outline are rounded.
enum TFillRoundingType : std::uint8_t { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };

/// Where a fill's picture is placed inside the fill rectangle.
enum TFillPicturePosition : std::uint8_t {
    ppTopLeft,
    ppTopCenter,
    ppTopRight,
    ppBottomLeft,
    ppBottomCenter,
    ppBottomRight,
    ppTiled,
    ppStretched,
    ppCenterLeft,
    ppCenterCenter,
    ppCenterRight,
    ppCustom,
};

/// A fill's foreground picture at its own size or at the fill's PictureWidth x PictureHeight.
enum TFillPictureSize : std::uint8_t { psOriginal, psCustom };
