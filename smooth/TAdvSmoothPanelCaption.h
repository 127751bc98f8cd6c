#pragma once

#include "caption_layout.h"
#include "smooth_caption.h"

#include "TColor.h"
#include "TFont.h"

#include <QString>

#include <cstdint>
#include <functional>

/// The caption of a gradient panel: a text with its font, place, brush and the rule beside it,
/// and a block of HTML text with its own font, place, link colour and shadow.
///
/// Published in this order: Text, Location, HatchStyle, HTMLFont, HTMLText, HTMLLocation,
/// HTMLLeft, HTMLTop, HTMLURLColor, HTMLShadowColor, HTMLShadowOffset, Font, Left, Top, Picture,
/// ColorStart, ColorEnd, OpacityStart, OpacityEnd, GradientType, LineColor, OnChange. Its
/// defaults: top left, Tahoma at 12 points, white to silver. Its own setters follow the shared
/// rule: a value equal to the stored one changes nothing, any other notifies once.
class TAdvSmoothPanelCaption : public TSmoothCaption {
public:
    static constexpr TColor DefaultLineColor = 11563548; // red 28, green 114, blue 176
    static constexpr TColor DefaultHTMLShadowColor = clGray;
    static constexpr std::int32_t DefaultHTMLShadowOffset = 5;

    TAdvSmoothPanelCaption();
    ~TAdvSmoothPanelCaption() override;

    /// Copies every property (fonts and picture by content, LineColor included) from another
    /// panel caption and then fires OnChange once; a source of another kind (null included) is
    /// ignored.
    void Assign(const TPersistent *source) override;

    const TFont &HTMLFont() const { return FHTMLFont; }
    void SetHTMLFont(const TFont &value);
    const QString &HTMLText() const { return FHTMLText; }
    /// Compares exactly (case-sensitive).
    void SetHTMLText(const QString &value);
    TAdvSmoothPanelLocation HTMLLocation() const { return FHTMLLocation; }
    void SetHTMLLocation(TAdvSmoothPanelLocation value);
    std::int32_t HTMLLeft() const { return FHTMLLeft; }
    void SetHTMLLeft(std::int32_t value);
    std::int32_t HTMLTop() const { return FHTMLTop; }
    void SetHTMLTop(std::int32_t value);
    TColor HTMLURLColor() const { return FHTMLURLColor; }
    void SetHTMLURLColor(TColor value);
    TColor HTMLShadowColor() const { return FHTMLShadowColor; }
    void SetHTMLShadowColor(TColor value);
    std::int32_t HTMLShadowOffset() const { return FHTMLShadowOffset; }
    void SetHTMLShadowOffset(std::int32_t value);
    /// Colour of the rule beside the caption text; clNone draws none.
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value);

    /// Fired after a change; the owning panel answers by repainting.
    std::function<void(TAdvSmoothPanelCaption *sender)> OnChange;

private:
    void NotifyOwner() override;

    QString FHTMLText;
    TAdvSmoothPanelLocation FHTMLLocation = plCenterCenter;
    std::int32_t FHTMLTop = 0;
    std::int32_t FHTMLLeft = 0;
    TColor FHTMLShadowColor = DefaultHTMLShadowColor;
    TColor FHTMLURLColor = clBlue;
    std::int32_t FHTMLShadowOffset = DefaultHTMLShadowOffset;
    TFont FHTMLFont;
    TColor FLineColor = DefaultLineColor;
};
