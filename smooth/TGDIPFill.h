#pragma once

#include "TAdvGDIPPicture.h"
#include "TPersistent.h"
#include "fill_types.h"
#include "gdiplus_types.h"

#include "TColor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class TGPGraphics;

/// How a rectangle is painted: a two-colour gradient of one of eleven kinds, an optional
/// mirrored lower half, opacities, rounded corners, a border, a soft shadow, a hatch pattern
/// and two pictures; DrawFill paints it on a surface.
///
/// Every setter does nothing when given the stored value and otherwise stores it and fires
/// OnChange once. The two pictures are owned; setting one copies the given picture's content,
/// and any change of an owned picture fires OnChange too. Only the user-interface thread uses a
/// fill.
class TGDIPFill : public TPersistent {
public:
    static constexpr TColor DefaultColor = clSilver;
    static constexpr TColor DefaultColorTo = clGray;
    static constexpr TColor DefaultShadowColor = clGray;
    static constexpr std::int32_t DefaultPictureSide = 50;
    static constexpr std::uint8_t Opaque = 255;

    TGDIPFill();
    ~TGDIPFill() override;

    /// Copies every property of another fill through its setter, pictures by content, in
    /// published order (BorderOpacity last); OnChange is not copied.
    /// \throws EInvalidCast when source is not a fill (null included); nothing is copied then.
    void Assign(const TPersistent *source) override;

    /// Paints the fill into rect: shadow, body, border, background picture, foreground
    /// picture.
    ///
    /// Each opacity argument below 255 replaces the property for this call; 255 keeps the
    /// property. Returns rect less the shadow's depth on the right and bottom when a shadow was
    /// drawn, rect otherwise (never inset by the border). A picture whose decode buffer cannot
    /// be had is left out; the rest is still drawn.
    TGPRectF DrawFill(TGPGraphics &graphics, const TGPRectF &rect,
                      std::uint8_t mirrorToOpacity = Opaque, std::uint8_t mirrorOpacity = Opaque,
                      std::uint8_t toOpacity = Opaque, std::uint8_t opacity = Opaque,
                      std::uint8_t borderOpacity = Opaque) const;

    /// The names of the properties a form description would write, in published order: those
    /// that differ from their declared default and those that have none.
    std::vector<std::string_view> StoredProperties() const;

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value);
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor value);
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor value);
    TAdvGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TAdvGradientType value);
    TAdvGradientType GradientMirrorType() const { return FGradientMirrorType; }
    void SetGradientMirrorType(TAdvGradientType value);
    ::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(::HatchStyle value);
    ::HatchStyle HatchStyleMirror() const { return FHatchStyleMirror; }
    void SetHatchStyleMirror(::HatchStyle value);
    TAdvGDIPPicture &BackGroundPicture() const { return *FBackGroundPicture; }
    void SetBackGroundPicture(const TAdvGDIPPicture &value);
    TFillPicturePosition BackGroundPicturePosition() const { return FBackGroundPicturePosition; }
    void SetBackGroundPicturePosition(TFillPicturePosition value);
    std::int32_t BackGroundPictureLeft() const { return FBackGroundPictureLeft; }
    void SetBackGroundPictureLeft(std::int32_t value);
    std::int32_t BackGroundPictureTop() const { return FBackGroundPictureTop; }
    void SetBackGroundPictureTop(std::int32_t value);
    TAdvGDIPPicture &Picture() const { return *FPicture; }
    void SetPicture(const TAdvGDIPPicture &value);
    TFillPicturePosition PicturePosition() const { return FPicturePosition; }
    void SetPicturePosition(TFillPicturePosition value);
    std::int32_t PictureLeft() const { return FPictureLeft; }
    void SetPictureLeft(std::int32_t value);
    std::int32_t PictureTop() const { return FPictureTop; }
    void SetPictureTop(std::int32_t value);
    TFillPictureSize PictureSize() const { return FPictureSize; }
    void SetPictureSize(TFillPictureSize value);
    std::int32_t PictureWidth() const { return FPictureWidth; }
    void SetPictureWidth(std::int32_t value);
    std::int32_t PictureHeight() const { return FPictureHeight; }
    void SetPictureHeight(std::int32_t value);
    std::uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(std::uint8_t value);
    std::uint8_t OpacityTo() const { return FOpacityTo; }
    void SetOpacityTo(std::uint8_t value);
    std::uint8_t OpacityMirror() const { return FOpacityMirror; }
    void SetOpacityMirror(std::uint8_t value);
    std::uint8_t OpacityMirrorTo() const { return FOpacityMirrorTo; }
    void SetOpacityMirrorTo(std::uint8_t value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    std::uint8_t BorderOpacity() const { return FBorderOpacity; }
    void SetBorderOpacity(std::uint8_t value);
    std::int32_t BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(std::int32_t value);
    std::int32_t Rounding() const { return FRounding; }
    void SetRounding(std::int32_t value);
    TFillRoundingType RoundingType() const { return FRoundingType; }
    void SetRoundingType(TFillRoundingType value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    std::int32_t ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(std::int32_t value);
    std::int32_t Angle() const { return FAngle; }
    void SetAngle(std::int32_t value);

    /// Fired after any property change, synchronously inside the setter; one Assign may fire
    /// it once per property it changes.
    std::function<void(TGDIPFill *sender)> OnChange;

private:
    void Changed();
    /// Copies source's content into the owned target, firing OnChange when that empties it.
    void CopyPicture(TAdvGDIPPicture &target, const TAdvGDIPPicture &source);
    /// Stores value and fires OnChange when it differs from field.
    template <typename T> void Update(T &field, T value);

    TColor FColor = DefaultColor;
    TColor FColorTo = DefaultColorTo;
    TColor FColorMirror = clNone;
    TColor FColorMirrorTo = clNone;
    TAdvGradientType FGradientType = gtVertical;
    TAdvGradientType FGradientMirrorType = gtSolid;
    ::HatchStyle FHatchStyle = HatchStyleHorizontal;
    ::HatchStyle FHatchStyleMirror = HatchStyleHorizontal;
    std::unique_ptr<TAdvGDIPPicture> FBackGroundPicture;
    TFillPicturePosition FBackGroundPicturePosition = ppTopLeft;
    std::int32_t FBackGroundPictureLeft = 0;
    std::int32_t FBackGroundPictureTop = 0;
    std::unique_ptr<TAdvGDIPPicture> FPicture;
    TFillPicturePosition FPicturePosition = ppTopLeft;
    std::int32_t FPictureLeft = 0;
    std::int32_t FPictureTop = 0;
    TFillPictureSize FPictureSize = psOriginal;
    std::int32_t FPictureWidth = DefaultPictureSide;
    std::int32_t FPictureHeight = DefaultPictureSide;
    std::uint8_t FOpacity = Opaque;
    std::uint8_t FOpacityTo = Opaque;
    std::uint8_t FOpacityMirror = Opaque;
    std::uint8_t FOpacityMirrorTo = Opaque;
    TColor FBorderColor = clNone;
    std::uint8_t FBorderOpacity = Opaque;
    std::int32_t FBorderWidth = 1;
    std::int32_t FRounding = 0;
    TFillRoundingType FRoundingType = rtBoth;
    TColor FShadowColor = DefaultShadowColor;
    std::int32_t FShadowOffset = 0;
    std::int32_t FAngle = 0;
};
