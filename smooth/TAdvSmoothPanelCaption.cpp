#include "TAdvSmoothPanelCaption.h"

namespace {

/// The caption's default font: Tahoma at 12 points (16 pixels at 96 dpi).
TFont DefaultCaptionFont() {
    TFont font;
    font.Name = QStringLiteral("Tahoma");
    font.Height = -16;
    return font;
}

} // namespace

TAdvSmoothPanelCaption::TAdvSmoothPanelCaption()
    : FPicture(std::make_unique<TAdvGDIPPicture>()), FFont(DefaultCaptionFont()) {
    FPicture->OnChange = [this](TAdvGDIPPicture *) { Changed(); };
}

TAdvSmoothPanelCaption::~TAdvSmoothPanelCaption() = default;

void TAdvSmoothPanelCaption::Changed() {
    if (OnChange)
        OnChange(this);
}

template <typename T> void TAdvSmoothPanelCaption::Update(T &field, const T &value) {
    if (field == value)
        return;
    field = value;
    Changed();
}

void TAdvSmoothPanelCaption::Assign(const TPersistent *source) {
    const auto *other = dynamic_cast<const TAdvSmoothPanelCaption *>(source);
    if (other == nullptr || other == this)
        return;
    // Copy quietly and notify once at the end.
    auto notify = std::move(OnChange);
    OnChange = nullptr;
    SetText(other->FText);
    SetLocation(other->FLocation);
    SetLeft(other->FLeft);
    SetTop(other->FTop);
    SetColorStart(other->FColorStart);
    SetColorEnd(other->FColorEnd);
    SetGradientType(other->FGradientType);
    SetHatchStyle(other->FHatchStyle);
    SetOpacityStart(other->FOpacityStart);
    SetOpacityEnd(other->FOpacityEnd);
    SetPicture(*other->FPicture);
    SetHTMLText(other->FHTMLText);
    SetHTMLLocation(other->FHTMLLocation);
    SetHTMLLeft(other->FHTMLLeft);
    SetHTMLTop(other->FHTMLTop);
    SetHTMLURLColor(other->FHTMLURLColor);
    SetHTMLShadowColor(other->FHTMLShadowColor);
    SetHTMLShadowOffset(other->FHTMLShadowOffset);
    SetHTMLFont(other->FHTMLFont);
    SetFont(other->FFont);
    SetLineColor(other->FLineColor);
    OnChange = std::move(notify);
    Changed();
}

void TAdvSmoothPanelCaption::SetText(const QString &value) {
    Update(FText, value);
}
void TAdvSmoothPanelCaption::SetLocation(TAdvSmoothPanelLocation value) {
    Update(FLocation, value);
}
void TAdvSmoothPanelCaption::SetHatchStyle(::HatchStyle value) {
    Update(FHatchStyle, value);
}
void TAdvSmoothPanelCaption::SetHTMLFont(const TFont &value) {
    Update(FHTMLFont, value);
}
void TAdvSmoothPanelCaption::SetHTMLText(const QString &value) {
    Update(FHTMLText, value);
}
void TAdvSmoothPanelCaption::SetHTMLLocation(TAdvSmoothPanelLocation value) {
    Update(FHTMLLocation, value);
}
void TAdvSmoothPanelCaption::SetHTMLLeft(std::int32_t value) {
    Update(FHTMLLeft, value);
}
void TAdvSmoothPanelCaption::SetHTMLTop(std::int32_t value) {
    Update(FHTMLTop, value);
}
void TAdvSmoothPanelCaption::SetHTMLURLColor(TColor value) {
    Update(FHTMLURLColor, value);
}
void TAdvSmoothPanelCaption::SetHTMLShadowColor(TColor value) {
    Update(FHTMLShadowColor, value);
}
void TAdvSmoothPanelCaption::SetHTMLShadowOffset(std::int32_t value) {
    Update(FHTMLShadowOffset, value);
}
void TAdvSmoothPanelCaption::SetFont(const TFont &value) {
    Update(FFont, value);
}
void TAdvSmoothPanelCaption::SetLeft(std::int32_t value) {
    Update(FLeft, value);
}
void TAdvSmoothPanelCaption::SetTop(std::int32_t value) {
    Update(FTop, value);
}
void TAdvSmoothPanelCaption::SetPicture(const TAdvGDIPPicture &value) {
    if (&value == FPicture.get())
        return;
    // Assign fires the picture's OnChange unless both are empty.
    FPicture->Assign(&value);
}
void TAdvSmoothPanelCaption::SetColorStart(TColor value) {
    Update(FColorStart, value);
}
void TAdvSmoothPanelCaption::SetColorEnd(TColor value) {
    Update(FColorEnd, value);
}
void TAdvSmoothPanelCaption::SetOpacityStart(std::uint8_t value) {
    Update(FOpacityStart, value);
}
void TAdvSmoothPanelCaption::SetOpacityEnd(std::uint8_t value) {
    Update(FOpacityEnd, value);
}
void TAdvSmoothPanelCaption::SetGradientType(TAdvGradientType value) {
    Update(FGradientType, value);
}
void TAdvSmoothPanelCaption::SetLineColor(TColor value) {
    Update(FLineColor, value);
}
