#include "smooth_caption.h"

TSmoothCaption::TSmoothCaption(const TDefaults &defaults)
    : FLocation(defaults.Location), FPicture(std::make_unique<TAdvGDIPPicture>()),
      FColorEnd(defaults.ColorEnd), FFont(defaults.Font), FColorStart(defaults.ColorStart) {
    FPicture->OnChange = [this](TAdvGDIPPicture *) { Changed(); };
}

TSmoothCaption::~TSmoothCaption() = default;

void TSmoothCaption::Changed() {
    if (!FQuiet)
        NotifyOwner();
}

void TSmoothCaption::CopyShared(const TSmoothCaption &other) {
    SetText(other.FText);
    SetLocation(other.FLocation);
    SetLeft(other.FLeft);
    SetTop(other.FTop);
    SetColorStart(other.FColorStart);
    SetColorEnd(other.FColorEnd);
    SetGradientType(other.FGradientType);
    SetHatchStyle(other.FHatchStyle);
    SetOpacityStart(other.FOpacityStart);
    SetOpacityEnd(other.FOpacityEnd);
    SetPicture(*other.FPicture);
    SetFont(other.FFont);
}

void TSmoothCaption::SetText(const QString &value) {
    Update(FText, value);
}
void TSmoothCaption::SetLocation(TAdvSmoothLabelLocation value) {
    Update(FLocation, value);
}
void TSmoothCaption::SetFont(const TFont &value) {
    Update(FFont, value);
}
void TSmoothCaption::SetLeft(std::int32_t value) {
    Update(FLeft, value);
}
void TSmoothCaption::SetTop(std::int32_t value) {
    Update(FTop, value);
}
void TSmoothCaption::SetPicture(const TAdvGDIPPicture &value) {
    if (&value == FPicture.get())
        return;
    // The picture tells of a copy only when it gets content; the caption notifies either way,
    // so an empty picture clears the text's texture and repaints.
    ChangeOnce([&] { FPicture->Assign(&value); });
}
void TSmoothCaption::SetColorStart(TColor value) {
    Update(FColorStart, value);
}
void TSmoothCaption::SetColorEnd(TColor value) {
    Update(FColorEnd, value);
}
void TSmoothCaption::SetOpacityStart(std::uint8_t value) {
    Update(FOpacityStart, value);
}
void TSmoothCaption::SetOpacityEnd(std::uint8_t value) {
    Update(FOpacityEnd, value);
}
void TSmoothCaption::SetGradientType(TAdvGradientType value) {
    Update(FGradientType, value);
}
void TSmoothCaption::SetHatchStyle(::HatchStyle value) {
    Update(FHatchStyle, value);
}
