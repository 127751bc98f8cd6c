#include "TGDIPFill.h"

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TAdvGDIPPicture>()),
      FPicture(std::make_unique<TAdvGDIPPicture>()) {
    FBackGroundPicture->OnChange = [this](TAdvGDIPPicture *) { Changed(); };
    FPicture->OnChange = [this](TAdvGDIPPicture *) { Changed(); };
}

TGDIPFill::~TGDIPFill() = default;

void TGDIPFill::Changed() {
    if (OnChange)
        OnChange(this);
}

void TGDIPFill::CopyPicture(TAdvGDIPPicture &target, const TAdvGDIPPicture &source) {
    // The picture reports a copy that brings an image; a copy that empties it is reported
    // here, so the owner does not keep showing the old image.
    const bool cleared = !target.Empty() && source.Empty();
    target.Assign(&source);
    if (cleared)
        Changed();
}

template <typename T> void TGDIPFill::Update(T &field, T value) {
    if (field == value)
        return;
    field = value;
    Changed();
}

void TGDIPFill::SetColor(TColor value) {
    Update(FColor, value);
}
void TGDIPFill::SetColorTo(TColor value) {
    Update(FColorTo, value);
}
void TGDIPFill::SetColorMirror(TColor value) {
    Update(FColorMirror, value);
}
void TGDIPFill::SetColorMirrorTo(TColor value) {
    Update(FColorMirrorTo, value);
}
void TGDIPFill::SetGradientType(TAdvGradientType value) {
    Update(FGradientType, value);
}
void TGDIPFill::SetGradientMirrorType(TAdvGradientType value) {
    Update(FGradientMirrorType, value);
}
void TGDIPFill::SetHatchStyle(::HatchStyle value) {
    Update(FHatchStyle, value);
}
void TGDIPFill::SetHatchStyleMirror(::HatchStyle value) {
    Update(FHatchStyleMirror, value);
}
void TGDIPFill::SetBackGroundPicturePosition(TFillPicturePosition value) {
    Update(FBackGroundPicturePosition, value);
}
void TGDIPFill::SetBackGroundPictureLeft(std::int32_t value) {
    Update(FBackGroundPictureLeft, value);
}
void TGDIPFill::SetBackGroundPictureTop(std::int32_t value) {
    Update(FBackGroundPictureTop, value);
}
void TGDIPFill::SetPicturePosition(TFillPicturePosition value) {
    Update(FPicturePosition, value);
}
void TGDIPFill::SetPictureLeft(std::int32_t value) {
    Update(FPictureLeft, value);
}
void TGDIPFill::SetPictureTop(std::int32_t value) {
    Update(FPictureTop, value);
}
void TGDIPFill::SetPictureSize(TFillPictureSize value) {
    Update(FPictureSize, value);
}
void TGDIPFill::SetPictureWidth(std::int32_t value) {
    Update(FPictureWidth, value);
}
void TGDIPFill::SetPictureHeight(std::int32_t value) {
    Update(FPictureHeight, value);
}
void TGDIPFill::SetOpacity(std::uint8_t value) {
    Update(FOpacity, value);
}
void TGDIPFill::SetOpacityTo(std::uint8_t value) {
    Update(FOpacityTo, value);
}
void TGDIPFill::SetOpacityMirror(std::uint8_t value) {
    Update(FOpacityMirror, value);
}
void TGDIPFill::SetOpacityMirrorTo(std::uint8_t value) {
    Update(FOpacityMirrorTo, value);
}
void TGDIPFill::SetBorderColor(TColor value) {
    Update(FBorderColor, value);
}
void TGDIPFill::SetBorderOpacity(std::uint8_t value) {
    Update(FBorderOpacity, value);
}
void TGDIPFill::SetBorderWidth(std::int32_t value) {
    Update(FBorderWidth, value);
}
void TGDIPFill::SetRounding(std::int32_t value) {
    Update(FRounding, value);
}
void TGDIPFill::SetRoundingType(TFillRoundingType value) {
    Update(FRoundingType, value);
}
void TGDIPFill::SetShadowColor(TColor value) {
    Update(FShadowColor, value);
}
void TGDIPFill::SetShadowOffset(std::int32_t value) {
    Update(FShadowOffset, value);
}
void TGDIPFill::SetAngle(std::int32_t value) {
    Update(FAngle, value);
}

void TGDIPFill::SetBackGroundPicture(const TAdvGDIPPicture &value) {
    if (&value == FBackGroundPicture.get())
        return;
    FBackGroundPicture->Assign(&value);
    Changed();
}

void TGDIPFill::SetPicture(const TAdvGDIPPicture &value) {
    if (&value == FPicture.get())
        return;
    FPicture->Assign(&value);
    Changed();
}

void TGDIPFill::Assign(const TPersistent *source) {
    const auto *fill = dynamic_cast<const TGDIPFill *>(source);
    if (fill == nullptr)
        throw EInvalidCast();
    SetColor(fill->FColor);
    SetColorTo(fill->FColorTo);
    SetColorMirror(fill->FColorMirror);
    SetColorMirrorTo(fill->FColorMirrorTo);
    SetGradientType(fill->FGradientType);
    SetGradientMirrorType(fill->FGradientMirrorType);
    SetHatchStyle(fill->FHatchStyle);
    SetHatchStyleMirror(fill->FHatchStyleMirror);
    CopyPicture(*FBackGroundPicture, *fill->FBackGroundPicture);
    SetBackGroundPicturePosition(fill->FBackGroundPicturePosition);
    SetBackGroundPictureLeft(fill->FBackGroundPictureLeft);
    SetBackGroundPictureTop(fill->FBackGroundPictureTop);
    CopyPicture(*FPicture, *fill->FPicture);
    SetPicturePosition(fill->FPicturePosition);
    SetPictureLeft(fill->FPictureLeft);
    SetPictureTop(fill->FPictureTop);
    SetPictureSize(fill->FPictureSize);
    SetPictureWidth(fill->FPictureWidth);
    SetPictureHeight(fill->FPictureHeight);
    SetOpacity(fill->FOpacity);
    SetOpacityTo(fill->FOpacityTo);
    SetOpacityMirror(fill->FOpacityMirror);
    SetOpacityMirrorTo(fill->FOpacityMirrorTo);
    SetBorderColor(fill->FBorderColor);
    SetBorderWidth(fill->FBorderWidth);
    SetRounding(fill->FRounding);
    SetRoundingType(fill->FRoundingType);
    SetShadowColor(fill->FShadowColor);
    SetShadowOffset(fill->FShadowOffset);
    SetAngle(fill->FAngle);
    SetBorderOpacity(fill->FBorderOpacity);
}

std::vector<std::string_view> TGDIPFill::StoredProperties() const {
    std::vector<std::string_view> names;
    // A property with a declared default is written only when it differs from it; the others
    // are always written, even at 0 or clNone.
    auto differs = [&names](bool stored, std::string_view name) {
        if (stored)
            names.push_back(name);
    };
    auto always = [&names](std::string_view name) { names.push_back(name); };
    differs(FColor != DefaultColor, "Color");
    differs(FColorTo != DefaultColorTo, "ColorTo");
    always("ColorMirror");
    always("ColorMirrorTo");
    differs(FGradientType != gtVertical, "GradientType");
    differs(FGradientMirrorType != gtSolid, "GradientMirrorType");
    differs(FHatchStyle != HatchStyleHorizontal, "HatchStyle");
    differs(FHatchStyleMirror != HatchStyleHorizontal, "HatchStyleMirror");
    always("BackGroundPicture");
    differs(FBackGroundPicturePosition != ppTopLeft, "BackGroundPicturePosition");
    always("BackGroundPictureLeft");
    always("BackGroundPictureTop");
    always("Picture");
    differs(FPicturePosition != ppTopLeft, "PicturePosition");
    always("PictureLeft");
    always("PictureTop");
    differs(FPictureSize != psOriginal, "PictureSize");
    differs(FPictureWidth != DefaultPictureSide, "PictureWidth");
    differs(FPictureHeight != DefaultPictureSide, "PictureHeight");
    differs(FOpacity != Opaque, "Opacity");
    differs(FOpacityTo != Opaque, "OpacityTo");
    differs(FOpacityMirror != Opaque, "OpacityMirror");
    differs(FOpacityMirrorTo != Opaque, "OpacityMirrorTo");
    always("BorderColor");
    differs(FBorderOpacity != Opaque, "BorderOpacity");
    differs(FBorderWidth != 1, "BorderWidth");
    always("Rounding");
    differs(FRoundingType != rtBoth, "RoundingType");
    differs(FShadowColor != DefaultShadowColor, "ShadowColor");
    always("ShadowOffset");
    always("Angle");
    return names;
}
