#pragma once

#include "fill_types.h"
#include "gdiplus_types.h"

#include <memory>

class TAdvGDIPPicture;
class TGPBrush;
class TGPFont;
struct TFont;

/// The brush a caption's text is drawn with, by gradient kind, on the text box (x, y, width,
/// height).
///
/// Linear kinds are two-point gradients from cStart to cEnd, tiled: vertical down the box,
/// horizontal across it, forward diagonal from the top-left to the bottom-right corner,
/// backward diagonal from the bottom-left (cEnd) to the top-right corner (cStart). gtSolid is
/// cStart, gtHatch the pattern in cStart on cEnd, gtTexture the tiled picture. gtRadial,
/// gtAngle, gtPath, gtNone and a texture without a usable picture give no brush: the caller
/// then draws no text.
std::unique_ptr<TGPBrush> CreateCaptionBrush(TAdvGradientType type, const TGPRectF &box,
                                             ARGB cStart, ARGB cEnd, HatchStyle hatch,
                                             const TAdvGDIPPicture &picture);

/// The font of a caption: the face looked up by name with no substitute (a face that is not
/// installed gives a font without handle, which measures and draws nothing), the size in whole
/// points, bold, italic and underline.
std::unique_ptr<TGPFont> CreateCaptionFont(const TFont &font);
