// TGDIPFill::DrawFill: shadow, body (one part, or a main and a mirror part), border, pictures.
#include "TGDIPFill.h"

#include "TGPBrush.h"
#include "TGPGraphics.h"
#include "TGPImage.h"
#include "TGPLinearGradientBrush.h"
#include "TGPPathGradientBrush.h"
#include "TGPPen.h"
#include "TGPRegion.h"
#include "color_conversion.h"
#include "picture_placement.h"
#include "round_rect_path.h"

#include "rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

/// The shadow's alpha; fixed, whatever the fill's opacities.
constexpr std::uint8_t kShadowAlpha = 180;
/// Where the shadow reaches its full colour, from the outline (0) towards the centre (1).
constexpr float kShadowRamp = 0.1f;

/// The colours, opacities, kind and hatch of one part, as DrawFill resolved them.
struct PartStyle {
    TColor start;
    TColor end;
    std::uint8_t startOpacity;
    std::uint8_t endOpacity;
    TAdvGradientType kind;
    HatchStyle hatch;
};

bool IsLinearKind(TAdvGradientType kind) {
    return kind == gtVertical || kind == gtHorizontal || kind == gtForwardDiagonal ||
           kind == gtBackwardDiagonal;
}

LinearGradientMode ModeOf(TAdvGradientType kind) {
    switch (kind) {
    case gtHorizontal:
        return LinearGradientModeHorizontal;
    case gtForwardDiagonal:
        return LinearGradientModeForwardDiagonal;
    case gtBackwardDiagonal:
        return LinearGradientModeBackwardDiagonal;
    default:
        return LinearGradientModeVertical;
    }
}

/// The nearest integer (halves to even), held inside the 32-bit range.
int RoundToInt(float value) {
    if (!std::isfinite(value))
        return 0;
    const long long rounded = RoundHalfEven(value);
    return int(std::clamp<long long>(rounded, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max()));
}

/// One DrawFill call: the fill, the surface and the opacities in force for this call.
class FillPainter {
public:
    FillPainter(const TGDIPFill &fill, TGPGraphics &graphics, std::uint8_t mirrorToOpacity,
                std::uint8_t mirrorOpacity, std::uint8_t toOpacity, std::uint8_t opacity,
                std::uint8_t borderOpacity)
        : F(fill), G(graphics), FOpacity(Resolve(opacity, fill.Opacity())),
          FOpacityTo(Resolve(toOpacity, fill.OpacityTo())),
          FOpacityMirror(Resolve(mirrorOpacity, fill.OpacityMirror())),
          FOpacityMirrorTo(Resolve(mirrorToOpacity, fill.OpacityMirrorTo())),
          FBorderOpacity(Resolve(borderOpacity, fill.BorderOpacity())) {}

    TGPRectF Paint(TGPRectF r) {
        if (r.Height == 1.0f || r.Width == 1.0f) {
            DrawLine(r);
        } else {
            r = DrawShadow(r);
            DrawBody(r);
            DrawBorder(r);
        }
        DrawPictures(r);
        return r;
    }

private:
    /// An override of 255 keeps the property; anything lower replaces it.
    static std::uint8_t Resolve(std::uint8_t override, std::uint8_t property) {
        return override < TGDIPFill::Opaque ? override : property;
    }

    bool HasBorder() const { return F.BorderWidth() > 0 && F.BorderColor() != clNone; }
    ARGB BorderARGB() const { return ColorToARGB(FBorderOpacity, F.BorderColor()); }

    void DrawLine(const TGPRectF &r) {
        if (!HasBorder())
            return;
        const TGPPen pen(BorderARGB(), float(F.BorderWidth()));
        G.DrawLine(&pen, r.X, r.Y, r.X + r.Width, r.Y + r.Height);
    }

    /// Paints the shadow on the whole outline and returns the rectangle left for the body.
    TGPRectF DrawShadow(TGPRectF r) {
        if (F.ShadowOffset() <= 0 || F.ShadowColor() == clNone)
            return r;
        const auto path = CreateRoundRectPath(r, F.Rounding(), F.RoundingType());
        TGPPathGradientBrush brush(*path);
        brush.SetWrapMode(WrapModeClamp);
        const ARGB shade = ColorToARGB(kShadowAlpha, F.ShadowColor());
        const ARGB colours[] = {MakeARGB(0, 0, 0, 0), shade, shade};
        const float positions[] = {0.0f, kShadowRamp, 1.0f};
        brush.SetInterpolationColors(colours, positions, 3);
        G.FillPath(&brush, path.get());
        // Only right and bottom shrink: the body covers the shadow on the other sides.
        r.Width -= float(F.ShadowOffset());
        r.Height -= float(F.ShadowOffset());
        return r;
    }

    void DrawBody(const TGPRectF &r) {
        if (F.GradientType() == gtHatch || F.GradientType() == gtTexture ||
            F.ColorMirror() == clNone) {
            if (F.GradientType() != gtRadial)
                FillPart(r, false);
            else if (F.Color() != clNone)
                FillRadialPart(r, true, F.RoundingType());
            return;
        }
        // The halves overlap by 2 units around the middle; the lower one is painted last.
        const float half = r.Height / 2;
        const TGPRectF upper{r.X, r.Y, r.Width, r.Height - half + 1};
        const TGPRectF lower{r.X, r.Y + half - 1, r.Width, r.Height - half + 1};
        if (F.GradientType() != gtRadial)
            FillPart(upper, false);
        else if (F.Color() != clNone)
            FillRadialPart(upper, true, rtTop);
        if (F.GradientMirrorType() == gtRadial)
            FillRadialPart(lower, false, rtBottom);
        else
            FillPart(lower, true);
    }

    PartStyle Style(bool mirror) const {
        if (mirror)
            return {F.ColorMirror(),  F.ColorMirrorTo(),      FOpacityMirror,
                    FOpacityMirrorTo, F.GradientMirrorType(), F.HatchStyleMirror()};
        return {F.Color(), F.ColorTo(), FOpacity, FOpacityTo, F.GradientType(), F.HatchStyle()};
    }

    /// The corners a part rounds: with a mirror part the main part keeps only its top
    /// corners and the mirror part only its bottom ones.
    TFillRoundingType OutlineType(bool mirror) const {
        const TFillRoundingType type = F.RoundingType();
        if (F.ColorMirror() == clNone)
            return type;
        if (!mirror)
            return type == rtBottom ? rtNone : type == rtBoth ? rtTop : type;
        return type == rtTop ? rtNone : type == rtBoth ? rtBottom : type;
    }

    std::unique_ptr<TGPBrush> MakeBrush(const PartStyle &s, TAdvGradientType kind,
                                        const TGPRectF &p, ARGB start, ARGB end) const {
        // Linear gradients reach one unit past the part, so its edges do not repeat the
        // start colour where the tile wraps.
        const TGPRectF wide{p.X - 1, p.Y - 1, p.Width + 2, p.Height + 2};
        switch (kind) {
        case gtSolid:
            return std::make_unique<TGPSolidBrush>(start);
        case gtVertical:
        case gtHorizontal:
        case gtForwardDiagonal:
        case gtBackwardDiagonal: {
            auto brush = std::make_unique<TGPLinearGradientBrush>(wide, start, end, ModeOf(kind));
            brush->SetWrapMode(WrapModeTile);
            brush->SetGammaCorrection(true);
            return brush;
        }
        case gtAngle: {
            auto brush =
                std::make_unique<TGPLinearGradientBrush>(wide, start, end, float(F.Angle()), true);
            brush->SetWrapMode(WrapModeTile);
            brush->SetGammaCorrection(true);
            return brush;
        }
        case gtHatch:
            return std::make_unique<TGPHatchBrush>(s.hatch, start, end);
        case gtTexture:
            return TextureBrush();
        default:
            return nullptr;
        }
    }

    std::unique_ptr<TGPBrush> TextureBrush() const {
        if (F.BackGroundPicturePosition() != ppTiled || F.BackGroundPicture().Empty())
            return nullptr;
        try {
            const auto image = F.BackGroundPicture().DecodeImage();
            if (image == nullptr)
                return nullptr;
            return std::make_unique<TGPTextureBrush>(*image, WrapModeTile);
        } catch (const EPictureMemoryError &) {
            return nullptr; // no texture this time; the rest of the fill is still drawn
        }
    }

    void FillPart(const TGPRectF &p, bool mirror) {
        const PartStyle s = Style(mirror);
        TAdvGradientType kind = s.kind;
        if (s.start == clNone)
            kind = gtNone;
        else if (s.end == clNone)
            kind = gtSolid;
        if (kind == gtNone)
            return;
        const ARGB start = ColorToARGB(s.startOpacity, s.start);
        const ARGB end = s.end == clNone ? start : ColorToARGB(s.endOpacity, s.end);
        const auto brush = MakeBrush(s, kind, p, start, end);
        if (brush != nullptr) {
            if (F.Rounding() == 0) {
                G.FillRectangle(brush.get(), p);
            } else {
                const auto path = CreateRoundRectPath(p, F.Rounding(), OutlineType(mirror));
                const SmoothingMode previous = G.GetSmoothingMode();
                G.SetSmoothingMode(SmoothingModeAntiAlias);
                G.FillPath(brush.get(), path.get());
                G.SetSmoothingMode(previous);
            }
        }
        if (mirror && IsLinearKind(kind)) {
            // A one-unit strip of the mirror's start colour marks the seam between the parts.
            const TGPSolidBrush seam(start);
            G.FillRectangle(&seam, p.X, p.Y, p.Width, 1);
        }
    }

    /// A glow from the middle of the top edge (main part) or bottom edge (mirror part).
    void FillRadialPart(const TGPRectF &p, bool top, TFillRoundingType type) {
        const PartStyle s = Style(!top);
        const TColor c2 = s.end == clNone ? s.start : s.end;
        const ARGB first = ColorToARGB(s.startOpacity, s.start);
        const ARGB second = ColorToARGB(s.endOpacity, c2);
        const float hh = p.Height / 2, hw = p.Width / 2;

        const auto outline = CreateRoundRectPath(p, F.Rounding(), type);
        const TGPSolidBrush base(top ? first : second);
        G.FillPath(&base, outline.get());
        const TGPRegion clip(*outline);
        G.SetClip(&clip);

        TGPGraphicsPath ellipse(FillModeAlternate);
        if (top)
            ellipse.AddEllipse(p.X, p.Y - hh, p.Width, p.Height + hh);
        else
            ellipse.AddEllipse(p.X, p.Y, p.Width, p.Height + hh);
        TGPPathGradientBrush glow(ellipse);
        glow.SetCenterPoint({p.X + hw, top ? p.Y : p.Y + p.Height});
        glow.SetCenterColor(top ? second : first);
        ARGB surround = top ? first : second;
        int count = 1;
        glow.SetSurroundColors(&surround, &count);
        G.FillRectangle(&glow, p);
        G.ResetClip();
    }

    void DrawBorder(const TGPRectF &r) {
        if (!HasBorder())
            return;
        const auto path = CreateRoundRectPath(r, F.Rounding(), F.RoundingType());
        const TGPPen pen(BorderARGB(), float(F.BorderWidth()));
        G.DrawPath(&pen, path.get());
    }

    void DrawPictures(const TGPRectF &r) {
        const int left = RoundToInt(r.X), top = RoundToInt(r.Y);
        const TRect area{left, top, int(std::int64_t(left) + RoundToInt(r.Width)),
                         int(std::int64_t(top) + RoundToInt(r.Height))};
        TAdvGDIPPicture &background = F.BackGroundPicture();
        if (F.GradientType() == gtTexture)
            DrawPicture(background, F.BackGroundPicturePosition(), false, area,
                        F.BackGroundPictureLeft(), F.BackGroundPictureTop());
        DrawPicture(F.Picture(), F.PicturePosition(), F.PictureSize() == psCustom, area,
                    F.PictureLeft(), F.PictureTop());
    }

    /// Places and draws one picture; customSize takes the fill's PictureWidth x PictureHeight
    /// instead of the picture's own size.
    void DrawPicture(TAdvGDIPPicture &picture, TFillPicturePosition position, bool customSize,
                     const TRect &area, int customLeft, int customTop) {
        if (picture.Empty())
            return;
        try {
            int width = F.PictureWidth(), height = F.PictureHeight();
            if (!customSize) {
                picture.RefreshSize();
                width = picture.Width();
                height = picture.Height();
            }
            const auto target =
                PicturePlacement(position, width, height, area, customLeft, customTop);
            if (target)
                picture.Draw(G, *target);
        } catch (const EPictureMemoryError &) {
            // Only this picture is lost; the fill and the other picture stay drawn.
        }
    }

    const TGDIPFill &F;
    TGPGraphics &G;
    const std::uint8_t FOpacity;
    const std::uint8_t FOpacityTo;
    const std::uint8_t FOpacityMirror;
    const std::uint8_t FOpacityMirrorTo;
    const std::uint8_t FBorderOpacity;
};

} // namespace

TGPRectF TGDIPFill::DrawFill(TGPGraphics &graphics, const TGPRectF &rect,
                             std::uint8_t mirrorToOpacity, std::uint8_t mirrorOpacity,
                             std::uint8_t toOpacity, std::uint8_t opacity,
                             std::uint8_t borderOpacity) const {
    FillPainter painter(*this, graphics, mirrorToOpacity, mirrorOpacity, toOpacity, opacity,
                        borderOpacity);
    return painter.Paint(rect);
}
