#pragma once

#include "TAdvGDIPPicture.h"
#include "TPersistent.h"
#include "caption_layout.h"
#include "fill_types.h"
#include "gdiplus_types.h"

#include "TColor.h"
#include "TFont.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

/// The caption of a gradient panel: a text with its font, place, brush and the rule beside it,
/// and a block of HTML text with its own font, place, link colour and shadow.
///
/// Every setter does nothing when given the stored value and otherwise stores it and fires
/// OnChange once; setting a font or the picture copies the given content. The picture is owned,
/// and a change of it fires OnChange too.
class TAdvSmoothPanelCaption : public TPersistent {
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

    const QString &Text() const { return FText; }
    /// Compares exactly (case-sensitive).
    void SetText(const QString &value);
    TAdvSmoothPanelLocation Location() const { return FLocation; }
    void SetLocation(TAdvSmoothPanelLocation value);
    ::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(::HatchStyle value);
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
    /// Face, height and style; its colour, character set and strike-out play no part in drawing.
    const TFont &Font() const { return FFont; }
    void SetFont(const TFont &value);
    std::int32_t Left() const { return FLeft; }
    void SetLeft(std::int32_t value);
    std::int32_t Top() const { return FTop; }
    void SetTop(std::int32_t value);
    TAdvGDIPPicture &Picture() const { return *FPicture; }
    void SetPicture(const TAdvGDIPPicture &value);
    TColor ColorStart() const { return FColorStart; }
    void SetColorStart(TColor value);
    TColor ColorEnd() const { return FColorEnd; }
    void SetColorEnd(TColor value);
    std::uint8_t OpacityStart() const { return FOpacityStart; }
    void SetOpacityStart(std::uint8_t value);
    std::uint8_t OpacityEnd() const { return FOpacityEnd; }
    void SetOpacityEnd(std::uint8_t value);
    TAdvGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TAdvGradientType value);
    /// Colour of the rule beside the caption text; clNone draws none.
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value);

    /// Fired after a change; the owning panel answers by repainting.
    std::function<void(TAdvSmoothPanelCaption *sender)> OnChange;

private:
    void Changed();
    template <typename T> void Update(T &field, const T &value);

    TAdvGradientType FGradientType = gtVertical;
    TAdvSmoothPanelLocation FLocation = plTopLeft;
    std::unique_ptr<TAdvGDIPPicture> FPicture;
    TColor FColorEnd = clSilver;
    ::HatchStyle FHatchStyle = HatchStyleHorizontal;
    TFont FFont;
    std::uint8_t FOpacityStart = 255;
    QString FText;
    std::int32_t FTop = 0;
    std::int32_t FLeft = 0;
    std::uint8_t FOpacityEnd = 255;
    TColor FColorStart = clWhite;
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
