#include "TGPGraphics.h"

#include "TGPBrush.h"
#include "TGPFont.h"
#include "TGPGraphicsPath.h"
#include "TGPImage.h"
#include "TGPPen.h"
#include "TGPRegion.h"
#include "pixel_grid.h"
#include "text_layout.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <cmath>

namespace {

bool Finite(std::initializer_list<float> values) {
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

TGPGraphics::TGPGraphics(QPainter *painter) {
    if (painter == nullptr || !painter->isActive()) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FPainter = painter;
    Init();
}

TGPGraphics::TGPGraphics(QPaintDevice *device) {
    if (device == nullptr) {
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FOwnPainter = std::make_unique<QPainter>();
    if (!FOwnPainter->begin(device)) {
        FOwnPainter.reset();
        SetStatus(GpStatus::InvalidParameter);
        return;
    }
    FPainter = FOwnPainter.get();
    Init();
}

void TGPGraphics::Init() {
    FPainter->save();
    // The painter's own transform (an offset into a parent's surface, say) places the
    // device; the grid shift comes on top. Keep whatever clip the caller had.
    FBase = FPainter->worldTransform();
    FHadClip = FPainter->hasClipping();
    if (FHadClip)
        FInitialClipDevice = FBase.map(FPainter->clipPath());
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    ApplyGrid();
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    FPainter->setPen(Qt::NoPen);
    FPainter->setBrush(Qt::NoBrush);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

TGPGraphics::~TGPGraphics() {
    if (FPainter == nullptr || !FPainter->isActive())
        return;
    if (FInDC)
        FPainter->restore();
    FPainter->restore();
    if (FOwnPainter)
        FOwnPainter->end();
}

GpStatus TGPGraphics::SetSmoothingMode(SmoothingMode mode) {
    if (mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
        return SetStatus(GpStatus::InvalidParameter);
    FSmoothing = mode;
    if (FPainter != nullptr) {
        FPainter->setRenderHint(QPainter::Antialiasing,
                                mode == SmoothingModeHighQuality || mode >= SmoothingModeAntiAlias);
        ApplyGrid();
    }
    return GpStatus::Ok;
}

void TGPGraphics::ApplyGrid() {
    // QPainter keeps a clip where it was set on the device; only later drawing moves.
    FShift = GridShift(FPainter->testRenderHint(QPainter::Antialiasing));
    FPainter->setWorldTransform(QTransform::fromTranslate(FShift, FShift) * FBase);
}

QRectF TGPGraphics::VisibleArea() const {
    const QPaintDevice *device = FPainter->device();
    bool invertible = false;
    const QTransform toLogical = FPainter->worldTransform().inverted(&invertible);
    if (device == nullptr || !invertible)
        return QRectF(-1e9, -1e9, 2e9, 2e9);
    // A device's size is in its own pixels, which only overstates a scaled image's extent.
    QRectF area = toLogical.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (FPainter->hasClipping())
        area &= FPainter->clipBoundingRect();
    return area;
}

QPainterPath TGPGraphics::InitialClip() const {
    return FPainter->worldTransform().inverted().map(FInitialClipDevice);
}

GpStatus TGPGraphics::SetTextRenderingHint(TextRenderingHint hint) {
    if (hint < TextRenderingHintSystemDefault || hint > TextRenderingHintClearTypeGridFit)
        return SetStatus(GpStatus::InvalidParameter);
    FTextHint = hint;
    return GpStatus::Ok;
}

QPainterPath TGPGraphics::OnGrid(const QPainterPath &shape) const {
    if (FPainter->testRenderHint(QPainter::Antialiasing))
        return shape;
    const QPaintDevice *device = FPainter->device();
    const double shift = AliasedEdgeShift(device != nullptr ? device->devicePixelRatio() : 1.0);
    return shape.translated(shift, shift);
}

GpStatus TGPGraphics::Fill(const TGPBrush *brush, const QPainterPath &area) {
    if (FPainter == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    if (brush == nullptr || !brush->HasHandle())
        return SetStatus(GpStatus::InvalidParameter);
    brush->FillArea(*FPainter, OnGrid(area));
    return GpStatus::Ok;
}

GpStatus TGPGraphics::FillPath(const TGPBrush *brush, const TGPGraphicsPath *path) {
    if (path == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    if (path->GetPointCount() == 0)
        return FPainter == nullptr ? SetStatus(GpStatus::InvalidParameter) : GpStatus::Ok;
    return Fill(brush, path->ToQPainterPath());
}

GpStatus TGPGraphics::FillRectangle(const TGPBrush *brush, const TGPRectF &rect) {
    if (!Finite({rect.X, rect.Y, rect.Width, rect.Height}))
        return SetStatus(GpStatus::InvalidParameter);
    if (FPainter == nullptr || brush == nullptr || !brush->HasHandle() || rect.Width <= 0 ||
        rect.Height <= 0)
        return GpStatus::Ok;
    QPainterPath area;
    area.addRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
    return Fill(brush, area);
}

GpStatus TGPGraphics::FillRectangle(const TGPBrush *brush, float x, float y, float width,
                                    float height) {
    return FillRectangle(brush, TGPRectF{x, y, width, height});
}

GpStatus TGPGraphics::Stroke(const TGPPen *pen, const QPainterPath &outline) {
    if (FPainter == nullptr || pen == nullptr || !pen->HasHandle())
        return SetStatus(GpStatus::InvalidParameter);
    const QPen &qtPen = pen->QtPen();
    if (FPainter->testRenderHint(QPainter::Antialiasing) || qtPen.widthF() <= 0) {
        FPainter->strokePath(outline, qtPen);
        return GpStatus::Ok;
    }
    // QPainter draws thin aliased lines with a line-stepping routine whose pixels do not follow
    // the centre rule (a rounded corner came out unlike its mirror image). Filling the pen's
    // own outline lights exactly the pixels whose centres it covers.
    QPainterPathStroker stroker(qtPen);
    FPainter->fillPath(OnGrid(stroker.createStroke(outline)), qtPen.brush());
    return GpStatus::Ok;
}

GpStatus TGPGraphics::DrawPath(const TGPPen *pen, const TGPGraphicsPath *path) {
    if (path == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    return Stroke(pen, path->ToQPainterPath());
}

GpStatus TGPGraphics::DrawRectangle(const TGPPen *pen, const TGPRectF &rect) {
    if (!Finite({rect.X, rect.Y, rect.Width, rect.Height}))
        return SetStatus(GpStatus::InvalidParameter);
    QPainterPath outline;
    outline.addRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
    return Stroke(pen, outline);
}

GpStatus TGPGraphics::DrawLine(const TGPPen *pen, float x1, float y1, float x2, float y2) {
    if (!Finite({x1, y1, x2, y2}))
        return SetStatus(GpStatus::InvalidParameter);
    QPainterPath line(QPointF(x1, y1));
    line.lineTo(x2, y2);
    return Stroke(pen, line);
}

GpStatus TGPGraphics::DrawLine(const TGPPen *pen, int x1, int y1, int x2, int y2) {
    return DrawLine(pen, float(x1), float(y1), float(x2), float(y2));
}

GpStatus TGPGraphics::SetClip(const TGPRegion *region) {
    if (FPainter == nullptr || region == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    if (region->IsInfinite())
        return ResetClip();
    if (FHadClip) {
        FPainter->setClipPath(InitialClip(), Qt::ReplaceClip);
        FPainter->setClipPath(OnGrid(region->Area()), Qt::IntersectClip);
    } else {
        FPainter->setClipPath(OnGrid(region->Area()), Qt::ReplaceClip);
    }
    return GpStatus::Ok;
}

GpStatus TGPGraphics::ResetClip() {
    if (FPainter == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    if (FHadClip)
        FPainter->setClipPath(InitialClip(), Qt::ReplaceClip);
    else
        FPainter->setClipping(false);
    return GpStatus::Ok;
}

GpStatus TGPGraphics::DrawImage(const TGPImage *image, float x, float y, float width,
                                float height) {
    if (image == nullptr)
        return SetStatus(GpStatus::InvalidParameter);
    return DrawImage(image, TGPRectF{x, y, width, height}, 0, 0, float(image->GetWidth()),
                     float(image->GetHeight()), UnitPixel, nullptr);
}

GpStatus TGPGraphics::DrawImage(const TGPImage *image, const TGPRectF &dest, float srcX, float srcY,
                                float srcWidth, float srcHeight, Unit srcUnit,
                                const TGPImageAttributes *attributes) {
    if (FPainter == nullptr || image == nullptr || !image->HasHandle() || srcUnit != UnitPixel ||
        !Finite({dest.X, dest.Y, dest.Width, dest.Height, srcX, srcY, srcWidth, srcHeight}))
        return SetStatus(GpStatus::InvalidParameter);
    if (dest.Width == 0 || dest.Height == 0 || srcWidth <= 0 || srcHeight <= 0)
        return GpStatus::Ok;
    const QImage pixels =
        attributes != nullptr ? attributes->Apply(image->Image()) : image->Image();
    // Images sit on whole pixels: undo the grid shift for them.
    const QRectF target(dest.X - FShift, dest.Y - FShift, dest.Width, dest.Height);
    FPainter->drawImage(target, pixels, QRectF(srcX, srcY, srcWidth, srcHeight));
    return GpStatus::Ok;
}

namespace {

TextLayoutRequest MakeRequest(const QString &text, int length, const TGPFont &font,
                              const TGPRectF &layout, const TGPStringFormat *format,
                              TextRenderingHint hint) {
    TextLayoutRequest request;
    request.text = length < 0 || length >= text.size() ? text : text.left(length);
    request.font = font.QtFont();
    request.emPixels = font.EmPixels();
    request.layout =
        QRectF(layout.X, layout.Y, std::max(0.0f, layout.Width), std::max(0.0f, layout.Height));
    request.hint = hint;
    if (format != nullptr) {
        request.flags = format->GetFormatFlags();
        request.alignment = format->GetAlignment();
        request.lineAlignment = format->GetLineAlignment();
    }
    return request;
}

} // namespace

GpStatus TGPGraphics::MeasureString(const QString &text, int length, const TGPFont *font,
                                    const TGPRectF &layout, const TGPStringFormat *format,
                                    TGPRectF *boundingBox, int *codepointsFitted,
                                    int *linesFilled) {
    if (FPainter == nullptr || font == nullptr || !font->HasHandle() || boundingBox == nullptr ||
        !Finite({layout.X, layout.Y, layout.Width, layout.Height}))
        return SetStatus(GpStatus::InvalidParameter);
    const TextLayoutResult result =
        LayOutText(MakeRequest(text, length, *font, layout, format, FTextHint), false);
    *boundingBox = {float(result.box.x()), float(result.box.y()), float(result.box.width()),
                    float(result.box.height())};
    if (codepointsFitted != nullptr)
        *codepointsFitted = result.codepoints;
    if (linesFilled != nullptr)
        *linesFilled = result.lines;
    return GpStatus::Ok;
}

GpStatus TGPGraphics::DrawString(const QString &text, int length, const TGPFont *font,
                                 const TGPRectF &layout, const TGPStringFormat *format,
                                 const TGPBrush *brush) {
    if (FPainter == nullptr || font == nullptr || !font->HasHandle() || brush == nullptr ||
        !brush->HasHandle() || !Finite({layout.X, layout.Y, layout.Width, layout.Height}))
        return SetStatus(GpStatus::InvalidParameter);
    TextLayoutRequest request = MakeRequest(text, length, *font, layout, format, FTextHint);
    const bool clip =
        layout.Width > 0 && layout.Height > 0 && (request.flags & StringFormatFlagsNoClip) == 0;
    // Glyphs are placed FShift before the layout's units.
    QRectF visible = VisibleArea().translated(FShift, FShift);
    if (clip)
        visible &= QRectF(layout.X, layout.Y, layout.Width, layout.Height);
    request.visible = visible;
    const TextLayoutResult result = LayOutText(request, true);
    if (result.glyphs.isEmpty())
        return GpStatus::Ok;
    // Glyph outlines are placed on whole device pixels, the brush stays in surface units.
    const QPainterPath glyphs = result.glyphs.translated(-FShift, -FShift);
    FPainter->save();
    if (clip)
        FPainter->setClipRect(QRectF(layout.X, layout.Y, layout.Width, layout.Height),
                              Qt::IntersectClip);
    FPainter->setRenderHint(QPainter::Antialiasing,
                            FTextHint != TextRenderingHintSingleBitPerPixel &&
                                FTextHint != TextRenderingHintSingleBitPerPixelGridFit);
    brush->FillArea(*FPainter, glyphs);
    FPainter->restore();
    return GpStatus::Ok;
}

GpStatus TGPGraphics::DrawString(const QString &text, int length, const TGPFont *font,
                                 const TGPPointF &origin, const TGPBrush *brush) {
    return DrawString(text, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, nullptr, brush);
}

QPainter *TGPGraphics::GetDC() {
    if (FPainter == nullptr || FInDC) {
        SetStatus(FPainter == nullptr ? GpStatus::InvalidParameter : GpStatus::ObjectBusy);
        return nullptr;
    }
    FPainter->save();
    FPainter->setWorldTransform(FBase);
    FInDC = true;
    return FPainter;
}

GpStatus TGPGraphics::ReleaseDC(QPainter *dc) {
    if (!FInDC || dc != FPainter)
        return SetStatus(GpStatus::InvalidParameter);
    FPainter->restore();
    FInDC = false;
    return GpStatus::Ok;
}
