#include "TsuiProgressBar.h"

#include "bitmap_drawing.h"
#include "progress_bar_accessible.h"
#include "progress_painting.h"
#include "style_table.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>

namespace {

constexpr int InitialWidth = 150;
constexpr int InitialHeight = 12;

std::unique_ptr<QImage> TakeOpaqueBitmap(const TsuiFileTheme &source, int item,
                                         TsuiProgressBarOrientation orientation) {
    auto bitmap =
        std::make_unique<QImage>(source.GetBitmap(item).convertToFormat(QImage::Format_RGB888));
    if (orientation == suiVertical)
        RotateBitmapLeft(*bitmap);
    return bitmap;
}

} // namespace

TsuiProgressBar::TsuiProgressBar(QWidget *owner)
    : QWidget(owner), picture_(std::make_unique<PictureHolder>()) {
    // The paint covers every pixel, so the background is never erased on its own.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    picture_->OnChange = [this] { PictureChanged(); };
    resize(InitialWidth, InitialHeight);
    text_ = QStringLiteral("50%");
    SetShowCaption(true);
    SetColor(clBtnFace);
    SetUIStyle(OwnerDefaultStyle(owner));
    UpdateCaptionText();
}

TsuiProgressBar::~TsuiProgressBar() {
    // The picture must not call back into a half-destroyed bar.
    picture_->OnChange = nullptr;
    QObject::disconnect(fileThemeDestroyed_);
}

void TsuiProgressBar::SetFileTheme(TsuiFileTheme *theme) {
    QObject::disconnect(fileThemeDestroyed_);
    fileTheme_ = theme;
    if (theme != nullptr)
        fileThemeDestroyed_ = connect(theme, &QObject::destroyed, this,
                                      &TsuiProgressBar::FileThemeRemoved, Qt::DirectConnection);
    SetUIStyle(uiStyle_);
}

void TsuiProgressBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    ApplyStyle();
}

void TsuiProgressBar::SetCaptionColor(TColor color) {
    captionColor_ = color;
    Repaint();
}

void TsuiProgressBar::SetShowCaption(bool show) {
    showCaption_ = show;
    Repaint();
}

void TsuiProgressBar::SetSmartShowCaption(bool smart) {
    smartShowCaption_ = smart;
    Repaint();
}

void TsuiProgressBar::SetMax(std::int32_t value) {
    range_.Max = value;
    UpdateCaptionText();
}

void TsuiProgressBar::SetMin(std::int32_t value) {
    range_.Min = value;
    UpdateCaptionText();
}

void TsuiProgressBar::SetPosition(std::int32_t value) {
    range_.Position = value;
    UpdateCaptionText();
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation orientation) {
    orientation_ = orientation;
    ApplyStyle();
}

void TsuiProgressBar::SetBorderColor(TColor color) {
    borderColor_ = color;
    Repaint();
}

void TsuiProgressBar::SetColor(TColor color) {
    color_ = color;
    Repaint();
}

TsuiUIStyle TsuiProgressBar::OwnerDefaultStyle(const QObject * /*owner*/) {
    return TsuiUIStyle::DeepBlue;
}

ResolvedStyle TsuiProgressBar::ResolveStyle(const TsuiFileTheme *source, TsuiUIStyle style) {
    if (style != TsuiUIStyle::FromThemeFile)
        return {false, style};
    if (source != nullptr && source->Ready())
        return {true, TsuiUIStyle::FromThemeFile};
    return {false, TsuiUIStyle::DeepBlue};
}

void TsuiProgressBar::UpdateCaptionText() {
    text_ = QString::number(PercentDone()) + u'%';
    // Readers hear of the bar when its whole percentage moves, not at every new position.
    const std::int32_t percent = AccessiblePercent(range_);
    if (percent != accessiblePercent_) {
        accessiblePercent_ = percent;
        if (isVisible()) {
            QAccessibleValueChangeEvent event(this, percent);
            QAccessible::updateAccessibility(&event);
        }
    }
    Repaint();
}

void TsuiProgressBar::ApplyStyle() {
    const ResolvedStyle resolved = ResolveStyle(fileTheme_, uiStyle_);
    if (resolved.SourceInUse) {
        ApplySkinSource(*fileTheme_);
    } else {
        QImage picture;
        LoadStyleBitmap(resolved.Style, ItemProgressBarPicture, &picture);
        picture_->Assign(picture);
        SetColor(StyleColor(resolved.Style, ItemProgressBarColor));
        SetBorderColor(StyleColor(resolved.Style, ItemProgressBarBorderColor));
    }
    if (orientation_ == suiVertical) {
        // The picture is reloaded above on every application, so it is never turned twice.
        QImage turned = picture_->Image();
        RotateBitmapLeft(turned);
        picture_->Assign(turned);
    }
    Repaint();
}

void TsuiProgressBar::ApplySkinSource(const TsuiFileTheme &source) {
    picture_->Assign(source.GetBitmap(TsuiFileTheme::ProgressBarItem));
    SetColor(source.GetColor(TsuiFileTheme::ControlColorItem));
    SetBorderColor(source.GetColor(TsuiFileTheme::ControlBorderColorItem));
    startCap_ = TakeOpaqueBitmap(source, TsuiFileTheme::ProgressStartCapItem, orientation_);
    track_ = TakeOpaqueBitmap(source, TsuiFileTheme::ProgressTrackItem, orientation_);
    endCap_ = TakeOpaqueBitmap(source, TsuiFileTheme::ProgressEndCapItem, orientation_);
}

void TsuiProgressBar::FileThemeRemoved() {
    QObject::disconnect(fileThemeDestroyed_);
    fileTheme_ = nullptr;
    SetUIStyle(TsuiUIStyle::DeepBlue);
}

void TsuiProgressBar::Repaint() {
    Q_ASSERT_X(QThread::currentThread() == thread(), "TsuiProgressBar",
               "the progress bar is used on the GUI thread only");
    repaint();
}

void TsuiProgressBar::paintEvent(QPaintEvent * /*event*/) {
    const ResolvedStyle resolved = ResolveStyle(fileTheme_, uiStyle_);
    ProgressLook look;
    look.Orientation = orientation_;
    look.Range = range_;
    look.Picture = picture_->Image();
    look.Color = color_;
    look.BorderColor = borderColor_;
    look.CaptionColor = captionColor_;
    look.ShowCaption = showCaption_;
    look.SmartShowCaption = smartShowCaption_;
    look.Text = text_;
    look.SkinMode = resolved.SourceInUse && startCap_ && track_ && endCap_;
    if (look.SkinMode) {
        look.StartCap = *startCap_;
        look.Track = *track_;
        look.EndCap = *endCap_;
    }
    // The caption uses the application's default font, not this control's own font.
    const ProgressPaint paint =
        PaintProgressBar(look, size(), QGuiApplication::font(), devicePixelRatioF());
    if (paint.CaptionTurnedOff)
        showCaption_ = false;
    if (!paint.Canvas.isNull()) {
        QPainter painter(this);
        painter.drawImage(0, 0, paint.Canvas);
    }
}
