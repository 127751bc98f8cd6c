#pragma once

#include "TColor.h"
#include "TsuiFileTheme.h"
#include "TsuiProgressBarOrientation.h"
#include "TsuiUIStyle.h"
#include "picture_holder.h"
#include "progress_math.h"

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

/// Which look a paint or a style application uses: the skin source, or a built-in style.
struct ResolvedStyle {
    bool SourceInUse = false;
    /// FromThemeFile when the source is in use, otherwise a built-in style.
    TsuiUIStyle Style = TsuiUIStyle::DeepBlue;
};

/// A framed progress track whose filled part is a picture stretched to the reached length, with
/// the percentage as a centred caption. Its look comes from a built-in style or a skin source.
///
/// GUI thread only (asserted in debug builds). No setter compares: every set stores, re-derives
/// what depends on it and paints at once when the bar is visible. Setting UIStyle, Orientation or
/// FileTheme re-applies the style and so discards explicit Picture, Color and BorderColor values.
/// Assistive technology sees a progress bar of 0 to 100 (`TsuiProgressBarAccessible`) and is told
/// of each change of its whole percentage while the bar is visible.
class TsuiProgressBar : public QWidget {
    Q_OBJECT
public:
    /// Builds a 150 x 12 bar at position 50 of 0 to 100 in the owner's default style.
    explicit TsuiProgressBar(QWidget *owner = nullptr);
    ~TsuiProgressBar() override;

    TsuiFileTheme *FileTheme() const { return fileTheme_; }
    /// Attaches a skin source (not owned; nullptr detaches) and re-applies the style.
    void SetFileTheme(TsuiFileTheme *theme);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(TColor color);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool show);
    /// When set, no caption is drawn while Position equals Min.
    bool SmartShowCaption() const { return smartShowCaption_; }
    void SetSmartShowCaption(bool smart);
    std::int32_t Max() const { return range_.Max; }
    void SetMax(std::int32_t value);
    std::int32_t Min() const { return range_.Min; }
    void SetMin(std::int32_t value);
    std::int32_t Position() const { return range_.Position; }
    void SetPosition(std::int32_t value);
    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation orientation);
    /// The frame colour.
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor color);
    /// The unfilled track's colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    /// The filled part's picture; changing its content repaints the bar.
    PictureHolder &Picture() { return *picture_; }
    const PictureHolder &Picture() const { return *picture_; }
    /// Copies the content of picture into the owned one.
    void SetPicture(const PictureHolder &picture) { picture_->Assign(picture); }

    /// The caption: PercentDone followed by "%"; changes only with Max, Min and Position.
    const QString &Text() const { return text_; }
    std::int64_t PercentDone() const { return ::PercentDone(range_); }
    /// The filled length of a track n pixels long.
    std::int32_t BarLength(std::int32_t n) const { return ::BarLength(range_, n); }

    /// The skin source's cap and track bitmaps; null until a skin source was applied.
    const QImage *StartCapBitmap() const { return startCap_.get(); }
    const QImage *TrackBitmap() const { return track_.get(); }
    const QImage *EndCapBitmap() const { return endCap_.get(); }

    /// The style a new bar starts with. No form-skinning control exists here to inherit a style
    /// from, so this is always DeepBlue.
    static TsuiUIStyle OwnerDefaultStyle(const QObject *owner);
    /// FromThemeFile uses a ready source; without one it falls back to DeepBlue.
    static ResolvedStyle ResolveStyle(const TsuiFileTheme *source, TsuiUIStyle style);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void UpdateCaptionText();
    void ApplyStyle();
    void ApplySkinSource(const TsuiFileTheme &source);
    void PictureChanged() { Repaint(); }
    void FileThemeRemoved();
    /// Paints at once when visible; asserts the GUI thread.
    void Repaint();

    std::unique_ptr<PictureHolder> picture_;
    std::unique_ptr<QImage> startCap_;
    std::unique_ptr<QImage> track_;
    std::unique_ptr<QImage> endCap_;
    QPointer<TsuiFileTheme> fileTheme_;
    QMetaObject::Connection fileThemeDestroyed_;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    ProgressRange range_;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    TColor borderColor_ = clBlack;
    TColor color_ = clBtnFace;
    TColor captionColor_ = clBlack;
    bool showCaption_ = true;
    bool smartShowCaption_ = false;
    QString text_;
    /// The whole percentage assistive technology was last told of.
    std::int32_t accessiblePercent_ = 0;
};
