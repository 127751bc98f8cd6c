#pragma once

#include "TGDIPFill.h"
#include "caption_layout.h"
#include "fill_types.h"
#include "preset_style.h"
#include "smooth_caption.h"

#include "TColor.h"
#include "TFont.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class TGPGraphics;

/// How a control comes into being: read from a window description, or newly placed by a form
/// designer (which gives it sample content).
enum class TCreation { Stored, DesignerPlaced };

/// The text of a gradient label with its font, place and brush.
///
/// Published in this order: Text, Location, Font, Left, Top, Picture, ColorStart, ColorEnd,
/// OpacityStart, OpacityEnd, GradientType, HatchStyle, OnChange. Its defaults: centred, the
/// toolkit's face at 20 points, light blue to dark blue.
class TAdvSmoothLabelCaption : public TSmoothCaption {
public:
    static constexpr TColor DefaultColorStart = 16769183; // red 159, green 224, blue 255
    static constexpr TColor DefaultColorEnd = 7687936;    // red 0, green 79, blue 117

    TAdvSmoothLabelCaption();
    ~TAdvSmoothLabelCaption() override;

    /// Copies place, colours, opacities, brush kind, hatch, picture, text and font from another
    /// label caption and then fires OnChange once; a source of another kind (null included) is
    /// ignored.
    void Assign(const TPersistent *source) override;

    /// Fired after a change; the owning label answers by repainting.
    std::function<void(TAdvSmoothLabelCaption *sender)> OnChange;

private:
    void NotifyOwner() override;
};

/// A control without a surface of its own that draws one caption string with a gradient,
/// solid, hatch or picture brush, over nothing (the parent shows through) or over a gradient
/// fill.
///
/// The text is measured and placed at one of nine places or at a fixed offset; the face is
/// looked up by name with no substitute, so a face that is not installed draws no text. The
/// label never changes its own size. Every property change repaints later; painting keeps
/// nothing from one paint to the next. Main thread only.
class TAdvSmoothLabel : public QWidget, public IPresetStyled {
    Q_OBJECT
public:
    static constexpr std::uint32_t PackedVersion = 0x01010000;

    explicit TAdvSmoothLabel(QWidget *parent = nullptr, TCreation creation = TCreation::Stored);
    ~TAdvSmoothLabel() override;

    TGDIPFill &Fill() const { return *FFill; }
    /// Copies the given fill's properties (unless it is the label's own) and repaints.
    void SetFill(const TGDIPFill &value);
    TAdvSmoothLabelCaption &Caption() const { return *FCaption; }
    /// Copies the given caption's properties (unless it is the label's own) and repaints.
    void SetCaption(const TAdvSmoothLabelCaption &value);
    /// "1.1.0.0"; a stored value is accepted and ignored.
    QString Version() const;
    void SetVersion(const QString &value);
    /// True: no background at all. False: the fill is painted behind the text.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    /// False: the text stays on one line.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    /// Copies fill, caption, Transparent and WordWrap from another label and repaints; a
    /// source of another kind (null included) is ignored.
    void Assign(const QObject *source);
    /// The label has no preset looks: does nothing.
    void ApplyPresetStyle(int style) override;

    /// Draws the label's face on a surface whose origin is the label's top-left corner.
    void Paint(TGPGraphics &graphics) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Changed();

    std::unique_ptr<TAdvSmoothLabelCaption> FCaption;
    bool FTransparent = true;
    std::unique_ptr<TGDIPFill> FFill;
    bool FWordWrap = false;
};
