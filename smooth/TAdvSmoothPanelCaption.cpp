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
    : TSmoothCaption({plTopLeft, clWhite, clSilver, DefaultCaptionFont()}) {}

TAdvSmoothPanelCaption::~TAdvSmoothPanelCaption() = default;

void TAdvSmoothPanelCaption::NotifyOwner() {
    if (OnChange)
        OnChange(this);
}

void TAdvSmoothPanelCaption::Assign(const TPersistent *source) {
    const auto *other = dynamic_cast<const TAdvSmoothPanelCaption *>(source);
    if (other == nullptr || other == this)
        return;
    ChangeOnce([&] {
        CopyShared(*other);
        SetHTMLText(other->FHTMLText);
        SetHTMLLocation(other->FHTMLLocation);
        SetHTMLLeft(other->FHTMLLeft);
        SetHTMLTop(other->FHTMLTop);
        SetHTMLURLColor(other->FHTMLURLColor);
        SetHTMLShadowColor(other->FHTMLShadowColor);
        SetHTMLShadowOffset(other->FHTMLShadowOffset);
        SetHTMLFont(other->FHTMLFont);
        SetLineColor(other->FLineColor);
    });
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
void TAdvSmoothPanelCaption::SetLineColor(TColor value) {
    Update(FLineColor, value);
}
