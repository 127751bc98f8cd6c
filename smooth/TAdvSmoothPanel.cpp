#include "TAdvSmoothPanel.h"

#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphics.h"
#include "TGPPen.h"
#include "caption_brush.h"
#include "color_conversion.h"
#include "component_version.h"
#include "html_text.h"
#include "rounding.h"

#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

int Near(float value) {
    return int(RoundHalfEven(value));
}

/// One preset look: fill colours, border, caption colours and rule.
struct PresetLook {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, Border, CaptionStart, CaptionEnd, Line;
};

// Light faces with a darker mirror half, each with a border and caption of its own hue.
constexpr std::array<PresetLook, 10> PresetLooks{{
    {0xFCF5EF, 0xF5E4D6, 0xF0D2BC, 0xF8E6DA, 0xA0785A, 0x603A1E, 0x96643C, 0xA0785A}, // sand
    {0xFFF6EA, 0xFCE6C8, 0xF8D2A0, 0xFCE8CC, 0xB08040, 0x704000, 0xA06010, 0xB08040}, // sky
    {0xEAF8EA, 0xC8EEC8, 0x9EDC9E, 0xCCF0CC, 0x3C8C3C, 0x1E501E, 0x2E7A2E, 0x3C8C3C}, // leaf
    {0xF0F0F0, 0xDCDCDC, 0xC8C8C8, 0xE2E2E2, 0x707070, 0x303030, 0x505050, 0x707070}, // steel
    {0x99FFFF, 0x00CCFF, clNone, clNone, 0x6B7760, clBlack, clBlack, 0x6B7760},       // amber
    {0xF6EAFA, 0xE8CCF2, 0xD8AAE6, 0xEAD0F4, 0x8A4C9E, 0x4A1E5A, 0x6A3A7A, 0x8A4C9E}, // lilac
    {0xEAEAFF, 0xCCCCFC, 0xA8A8F4, 0xD0D0FA, 0x4A4AB4, 0x1E1E6A, 0x30308E, 0x4A4AB4}, // rose
    {0x5A4A3C, 0x3C3228, 0x281E16, 0x3E3228, 0x140C06, clWhite, 0xD0D0D0, 0xC0C0C0},  // night
    {0xE6FFFA, 0xBEF5EB, 0x8CE6D2, 0xC4F5EA, 0x46A08C, 0x1E5A4A, 0x2E7A64, 0x46A08C}, // lime
    {0xFFFFFF, 0xF2F2F2, 0xE4E4E4, 0xF4F4F4, 0xB4B4B4, 0x404040, 0x808080, 0xB4B4B4}, // paper
}};

} // namespace

TAdvSmoothPanel::TAdvSmoothPanel(QWidget *parent, TCreation creation)
    : QWidget(parent), FFill(std::make_unique<TGDIPFill>()) {
    FFill->OnChange = [this](TGDIPFill *) { Changed(); };
    resize(256, 128);
    FCaption = std::make_unique<TAdvSmoothPanelCaption>();
    FCaption->OnChange = [this](TAdvSmoothPanelCaption *) { HTMLSourcesChanged(); };
    // The link cursor needs mouse moves without a button held.
    setMouseTracking(true);
    FDesignerPlaced = creation == TCreation::DesignerPlaced;
    if (FDesignerPlaced)
        ApplyPresetStyle(4);
}

TAdvSmoothPanel::~TAdvSmoothPanel() {
    FFill.reset();
    FCaption.reset();
}

void TAdvSmoothPanel::Changed() {
    update();
}

void TAdvSmoothPanel::DropHTMLLayouts() {
    FHTMLLayouts.clear();
}

void TAdvSmoothPanel::HTMLSourcesChanged() {
    DropHTMLLayouts();
    Changed();
}

const THTMLTextLayout &TAdvSmoothPanel::HTMLLayout(int width) const {
    // The layouts are dropped on every change the panel hears of; comparing what they were made
    // from also covers a caption whose change event was given another handler.
    THTMLText text = HTMLText();
    for (const TKeptLayout &kept : FHTMLLayouts)
        if (kept.Width == width && kept.Text == text)
            return *kept.Layout;
    // A paint measures in one width and draws in another; more are never needed at once.
    if (FHTMLLayouts.size() >= 2)
        FHTMLLayouts.erase(FHTMLLayouts.begin());
    auto layout = std::make_unique<THTMLTextLayout>(text, width);
    FHTMLLayouts.push_back({width, std::move(text), std::move(layout)});
    return *FHTMLLayouts.back().Layout;
}

void TAdvSmoothPanel::SetCaption(const TAdvSmoothPanelCaption &value) {
    if (&value == FCaption.get())
        return;
    FCaption->Assign(&value);
    Changed();
}

void TAdvSmoothPanel::SetFill(const TGDIPFill &value) {
    if (&value == FFill.get())
        return;
    FFill->Assign(&value);
    Changed();
}

void TAdvSmoothPanel::SetImages(TImageList *value) {
    if (FImages == value)
        return;
    if (FImages != nullptr)
        disconnect(FImages, nullptr, this, nullptr);
    FImages = value;
    // The reference clears itself when the list goes; the face is then drawn without it.
    if (value != nullptr) {
        connect(value, &QObject::destroyed, this, [this] { HTMLSourcesChanged(); });
        connect(value, &TImageList::Changed, this, [this] { HTMLSourcesChanged(); });
    }
    HTMLSourcesChanged();
}

void TAdvSmoothPanel::SetPictureContainer(TGDIPPictureContainer *value) {
    if (FPictureContainer == value)
        return;
    if (FPictureContainer != nullptr)
        disconnect(FPictureContainer, nullptr, this, nullptr);
    FPictureContainer = value;
    if (value != nullptr) {
        connect(value, &QObject::destroyed, this, [this] { HTMLSourcesChanged(); });
        connect(value, &TGDIPPictureContainer::Changed, this, [this] { HTMLSourcesChanged(); });
    }
    HTMLSourcesChanged();
}

QString TAdvSmoothPanel::Version() const {
    return VersionFromPacked(PackedVersion);
}

void TAdvSmoothPanel::SetVersion(const QString &) {}

void TAdvSmoothPanel::SetDoubleBuffered(bool value) {
    if (FDoubleBuffered == value)
        return;
    FDoubleBuffered = value;
    Changed();
}

void TAdvSmoothPanel::Assign(const QObject *source) {
    const auto *other = qobject_cast<const TAdvSmoothPanel *>(source);
    if (other == nullptr || other == this)
        return;
    FCaption->Assign(other->FCaption.get());
    FFill->Assign(other->FFill.get());
    Changed();
}

void TAdvSmoothPanel::ApplyPresetStyle(int style) {
    FFill->SetGradientType(gtVertical);
    if (style < 0 || style >= int(PresetLooks.size()))
        return;
    const PresetLook &look = PresetLooks[std::size_t(style)];
    FFill->SetColor(look.Color);
    FFill->SetColorTo(look.ColorTo);
    FFill->SetColorMirror(look.ColorMirror);
    FFill->SetColorMirrorTo(look.ColorMirrorTo);
    FFill->SetBorderColor(look.Border);
    FCaption->SetColorStart(look.CaptionStart);
    FCaption->SetColorEnd(look.CaptionEnd);
    FCaption->SetLineColor(look.Line);
}

int TAdvSmoothPanel::ShadowDepth() const {
    return FFill->ShadowColor() != clNone ? FFill->ShadowOffset() : 0;
}

THTMLText TAdvSmoothPanel::HTMLText() const {
    THTMLText text;
    text.Markup = FCaption->HTMLText();
    text.Font = FCaption->HTMLFont();
    text.URLColor = FCaption->HTMLURLColor();
    text.ShadowColor = FCaption->HTMLShadowColor();
    text.ShadowOffset = FCaption->HTMLShadowOffset();
    text.Images = FImages.data();
    text.PictureContainer = FPictureContainer.data();
    return text;
}

void TAdvSmoothPanel::Paint(TGPGraphics &graphics) {
    const int w = width();
    const int h = height();
    if (w <= 1 || h <= 1)
        return;
    const bool border = FFill->BorderColor() != clNone && FFill->BorderWidth() != 0;
    const TGPRectF r =
        border ? TGPRectF{0, 0, float(w - 1), float(h - 1)} : TGPRectF{0, 0, float(w), float(h)};
    const TGPRectF content = FFill->DrawFill(graphics, r);
    float captionHeight = 0;
    if (!FCaption->Text().isEmpty())
        captionHeight = PaintCaption(graphics, content);
    if (!FCaption->HTMLText().isEmpty())
        PaintHTML(graphics, content, captionHeight);
}

float TAdvSmoothPanel::PaintCaption(TGPGraphics &graphics, const TGPRectF &content) const {
    const TAdvSmoothPanelCaption &caption = *FCaption;
    TGPRectF t = content;
    float reduce = 0;
    // A picture in a top or bottom corner of the fill takes room from a caption in that row.
    const TAdvGDIPPicture &picture = FFill->Picture();
    if (!picture.Empty()) {
        const float pw =
            float(FFill->PictureSize() == psOriginal ? picture.Width() : FFill->PictureWidth());
        const TAdvSmoothPanelLocation location = caption.Location();
        const bool topRow = location == plTopLeft || location == plTopRight;
        const bool bottomRow = location == plBottomLeft || location == plBottomRight;
        const TFillPicturePosition position = FFill->PicturePosition();
        if ((position == ppTopLeft && topRow) || (position == ppBottomLeft && bottomRow)) {
            t.X += pw;
            reduce = pw;
        } else if ((position == ppTopRight && topRow) || (position == ppBottomRight && bottomRow)) {
            t.Width -= pw;
        }
    }

    const std::unique_ptr<TGPFont> font = CreateCaptionFont(caption.Font());
    graphics.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    const TGPStringFormat format(0, 0);
    TGPRectF box;
    graphics.MeasureString(caption.Text(), -1, font.get(),
                           TGPRectF{t.X, t.Y, t.Width - reduce, t.Height}, &format, &box);
    const float tw = box.Width;
    const float th = box.Height;
    const QPoint at = caption.Location() == plCustom
                          ? QPoint(caption.Left(), caption.Top())
                          : PanelTextPosition(caption.Location(), t, tw, th);
    const float x = float(at.x());
    const float y = float(at.y());

    const ARGB cStart = ColorToARGB(caption.OpacityStart(), caption.ColorStart());
    const ARGB cEnd = ColorToARGB(caption.OpacityEnd(), caption.ColorEnd());
    const std::unique_ptr<TGPBrush> brush =
        CreateCaptionBrush(caption.GradientType(), TGPRectF{x, y, tw, th}, cStart, cEnd,
                           caption.HatchStyle(), caption.Picture());
    if (brush != nullptr)
        graphics.DrawString(
            caption.Text(), -1, font.get(),
            TGPRectF{x, y, float(Near(t.Width - 2 - reduce)), float(height() - 1 - ShadowDepth())},
            &format, brush.get());

    if (caption.LineColor() != clNone) {
        const TGPPen pen(ColorToOpaqueARGB(caption.LineColor()), 1.0f);
        const float lineY = IsBottomLocation(caption.Location()) ? y - 2 : y + th;
        graphics.DrawLine(&pen, float(Near(t.X + 2)), lineY, float(Near(t.Width - 2)), lineY);
    }
    return th;
}

void TAdvSmoothPanel::PaintHTML(TGPGraphics &graphics, TGPRectF content, float captionHeight) {
    const TAdvSmoothPanelCaption &caption = *FCaption;
    const int ti = Near(captionHeight);
    const int avail = width() - ShadowDepth() - 2 * FFill->BorderWidth();
    const bool custom = caption.HTMLLocation() == plCustom;
    const int left = custom ? 0 : caption.HTMLLeft();
    const int right = custom ? avail - caption.HTMLLeft() : avail;
    const QSize measured = HTMLLayout(right - left).Size();
    int hw = measured.width();
    const int hh = measured.height();

    content.Height -= float(ti);
    QRect box;
    if (custom) {
        const int x = caption.HTMLLeft();
        if (avail < x + hw)
            hw = std::max(0, avail - x);
        box = QRect(x, caption.HTMLTop(), hw, hh);
    } else {
        const QPoint at = PanelTextPosition(caption.HTMLLocation(), content, float(hw), float(hh));
        box = QRect(at.x(), at.y() + ti, hw, hh);
    }
    if (hw > 0)
        HTMLLayout(hw).Draw(graphics, box);
    FHTMLRect = TRect{box.left(), box.top(), box.left() + hw, box.top() + hh};
}

QString TAdvSmoothPanel::AnchorAt(int x, int y) const {
    const TRect &r = FHTMLRect;
    if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom || FCaption->HTMLText().isEmpty())
        return {};
    return HTMLLayout(r.Right - r.Left).AnchorAt(QPointF(x - r.Left, y - r.Top));
}

void TAdvSmoothPanel::PaintFace(TGPGraphics &graphics) {
    try {
        Paint(graphics);
    } catch (const std::exception &) {
        // A failed paint leaves the face undrawn this time; Qt must not see the exception.
    }
}

bool TAdvSmoothPanel::event(QEvent *event) {
    // Polishing comes once, before the panel is first shown: the panel's window is made.
    if (event->type() == QEvent::Polish && !FWindowMade) {
        FWindowMade = true;
        if (FDesignerPlaced) {
            FFill->SetShadowOffset(10);
            FFill->SetRounding(10);
            FCaption->SetText(objectName());
        }
    }
    // Fonts installed or removed may change which face the HTML text gets.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        HTMLSourcesChanged();
    return QWidget::event(event);
}

void TAdvSmoothPanel::paintEvent(QPaintEvent *) {
    // Nothing is erased: what the parent painted stays behind the corners and the shadow.
    QPainter painter(this);
    if (FDoubleBuffered) {
        const qreal ratio = devicePixelRatioF();
        QImage buffer((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        if (!buffer.isNull()) {
            buffer.setDevicePixelRatio(ratio);
            buffer.fill(Qt::transparent);
            {
                QPainter offscreen(&buffer);
                TGPGraphics graphics(&offscreen);
                PaintFace(graphics);
            }
            painter.drawImage(0, 0, buffer);
            return;
        }
    }
    TGPGraphics graphics(&painter);
    PaintFace(graphics);
}

void TAdvSmoothPanel::moveEvent(QMoveEvent *event) {
    // The background behind the corners and the shadow has changed.
    Changed();
    QWidget::moveEvent(event);
}

void TAdvSmoothPanel::resizeEvent(QResizeEvent *event) {
    HTMLSourcesChanged();
    QWidget::resizeEvent(event);
}

void TAdvSmoothPanel::mouseMoveEvent(QMouseEvent *event) {
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    FOverAnchor = !AnchorAt(at.x(), at.y()).isEmpty();
    setCursor(FOverAnchor ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TAdvSmoothPanel::mousePressEvent(QMouseEvent *event) {
    QWidget::mousePressEvent(event);
    if (!FOverAnchor)
        return;
    const QPoint at = event->position().toPoint();
    const QString anchor = AnchorAt(at.x(), at.y());
    if (!anchor.isEmpty() && OnAnchorClick) {
        event->accept();
        OnAnchorClick(this, anchor);
    }
}
