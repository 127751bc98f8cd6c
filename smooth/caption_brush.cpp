#include "caption_brush.h"

#include "TAdvGDIPPicture.h"
#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPImage.h"
#include "TGPLinearGradientBrush.h"

#include "TFont.h"

namespace {

std::unique_ptr<TGPBrush> Line(float x1, float y1, float x2, float y2, ARGB c1, ARGB c2) {
    auto brush =
        std::make_unique<TGPLinearGradientBrush>(TGPPointF{x1, y1}, TGPPointF{x2, y2}, c1, c2);
    brush->SetWrapMode(WrapModeTile);
    return brush;
}

} // namespace

std::unique_ptr<TGPBrush> CreateCaptionBrush(TAdvGradientType type, const TGPRectF &box,
                                             ARGB cStart, ARGB cEnd, HatchStyle hatch,
                                             const TAdvGDIPPicture &picture) {
    const float x = box.X;
    const float y = box.Y;
    const float w = box.Width;
    const float h = box.Height;
    switch (type) {
    case gtSolid:
        return std::make_unique<TGPSolidBrush>(cStart);
    case gtVertical:
        return Line(x, y, x, y + h, cStart, cEnd);
    case gtHorizontal:
        return Line(x, y, x + w, y, cStart, cEnd);
    case gtForwardDiagonal:
        return Line(x, y, x + w, y + h, cStart, cEnd);
    case gtBackwardDiagonal:
        return Line(x, y + h, x + w, y, cEnd, cStart);
    case gtHatch:
        return std::make_unique<TGPHatchBrush>(int(hatch), cStart, cEnd);
    case gtTexture: {
        if (picture.Empty())
            return nullptr;
        try {
            const std::unique_ptr<TGPImage> image = picture.DecodeImage();
            if (image == nullptr || !image->HasHandle())
                return nullptr;
            return std::make_unique<TGPTextureBrush>(*image, WrapModeTile);
        } catch (const EPictureMemoryError &) {
            // The picture cannot be decoded now: the caption goes without text this paint.
            return nullptr;
        }
    }
    default:
        return nullptr;
    }
}

std::unique_ptr<TGPFont> CreateCaptionFont(const TFont &font) {
    const TGPFontFamily family(font.Name);
    const int style = (font.Style.Bold ? FontStyleBold : 0) |
                      (font.Style.Italic ? FontStyleItalic : 0) |
                      (font.Style.Underline ? FontStyleUnderline : 0);
    return std::make_unique<TGPFont>(family, float(font.SizeInPoints()), style, UnitPoint);
}
