#include "TAdvSmoothLabel.h"

#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphics.h"
#include "caption_brush.h"
#include "color_conversion.h"
#include "component_version.h"

#include <QPainter>

namespace {

/// The caption's default font: the toolkit's face at 20 points (27 pixels at 96 dpi).
TFont DefaultCaptionFont() {
    TFont font;
    font.Height = -27;
    return font;
}

} // namespace

TAdvSmoothLabelCaption::TAdvSmoothLabelCaption()
    : TSmoothCaption({plCenterCenter, DefaultColorStart, DefaultColorEnd, DefaultCaptionFont()}) {}

TAdvSmoothLabelCaption::~TAdvSmoothLabelCaption() = default;

void TAdvSmoothLabelCaption::NotifyOwner() {
    if (OnChange)
        OnChange(this);
}

void TAdvSmoothLabelCaption::Assign(const TPersistent *source) {
    const auto *other = dynamic_cast<const TAdvSmoothLabelCaption *>(source);
    if (other == nullptr || other == this)
        return;
    ChangeOnce([&] { CopyShared(*other); });
}

TAdvSmoothLabel::TAdvSmoothLabel(QWidget *parent, TCreation creation)
    : QWidget(parent), FCaption(std::make_unique<TAdvSmoothLabelCaption>()),
      FFill(std::make_unique<TGDIPFill>()) {
    FCaption->OnChange = [this](TAdvSmoothLabelCaption *) { Changed(); };
    FFill->OnChange = [this](TGDIPFill *) { Changed(); };
    resize(280, 50);
    if (creation == TCreation::DesignerPlaced)
        FCaption->SetText(QStringLiteral("AdvSmoothLabel"));
}

TAdvSmoothLabel::~TAdvSmoothLabel() {
    FFill.reset();
    FCaption.reset();
}

void TAdvSmoothLabel::Changed() {
    update();
}

void TAdvSmoothLabel::SetFill(const TGDIPFill &value) {
    if (&value == FFill.get())
        return;
    FFill->Assign(&value);
    Changed();
}

void TAdvSmoothLabel::SetCaption(const TAdvSmoothLabelCaption &value) {
    if (&value == FCaption.get())
        return;
    FCaption->Assign(&value);
    Changed();
}

QString TAdvSmoothLabel::Version() const {
    return VersionFromPacked(PackedVersion);
}

void TAdvSmoothLabel::SetVersion(const QString &) {}

void TAdvSmoothLabel::SetTransparent(bool value) {
    if (FTransparent == value)
        return;
    FTransparent = value;
    Changed();
}

void TAdvSmoothLabel::SetWordWrap(bool value) {
    if (FWordWrap == value)
        return;
    FWordWrap = value;
    Changed();
}

void TAdvSmoothLabel::Assign(const QObject *source) {
    const auto *other = qobject_cast<const TAdvSmoothLabel *>(source);
    if (other == nullptr || other == this)
        return;
    FFill->Assign(other->FFill.get());
    FCaption->Assign(other->FCaption.get());
    FTransparent = other->FTransparent;
    FWordWrap = other->FWordWrap;
    Changed();
}

void TAdvSmoothLabel::ApplyPresetStyle(int) {}

void TAdvSmoothLabel::Paint(TGPGraphics &graphics) const {
    const int w = width();
    const int h = height();
    if (w <= 1 || h <= 1)
        return;
    TGPRectF r{0, 0, float(w - 1), float(h - 1)};
    if (!FTransparent)
        r = FFill->DrawFill(graphics, r);
    const TAdvSmoothLabelCaption &caption = *FCaption;
    if (caption.Text().isEmpty())
        return;

    const TGPStringFormat format(FWordWrap ? 0 : StringFormatFlagsNoWrap, 0);
    const std::unique_ptr<TGPFont> font = CreateCaptionFont(caption.Font());
    TGPRectF box;
    graphics.MeasureString(caption.Text(), -1, font.get(), r, &format, &box);
    const float tw = box.Width;
    const float th = box.Height;

    const QPoint at = caption.Location() == plCustom
                          ? QPoint(caption.Left(), caption.Top())
                          : LabelTextPosition(caption.Location(), r.Width, r.Height, tw, th);
    const float x = float(at.x());
    const float y = float(at.y());
    const ARGB cStart = ColorToARGB(caption.OpacityStart(), caption.ColorStart());
    const ARGB cEnd = ColorToARGB(caption.OpacityEnd(), caption.ColorEnd());
    graphics.SetTextRenderingHint(TextRenderingHintAntiAlias);
    const std::unique_ptr<TGPBrush> brush =
        CreateCaptionBrush(caption.GradientType(), TGPRectF{x, y, tw, th}, cStart, cEnd,
                           caption.HatchStyle(), caption.Picture());
    if (brush == nullptr)
        return;
    graphics.DrawString(caption.Text(), -1, font.get(), TGPRectF{x, y, r.Width - x, r.Height - y},
                        &format, brush.get());
}

void TAdvSmoothLabel::paintEvent(QPaintEvent *) {
    // Nothing is erased first: whatever the parent painted stays behind the text.
    QPainter painter(this);
    TGPGraphics graphics(&painter);
    try {
        Paint(graphics);
    } catch (const std::exception &) {
        // A failed paint leaves the label undrawn this time; Qt must not see the exception.
    }
}
