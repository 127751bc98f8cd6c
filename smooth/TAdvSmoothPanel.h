#pragma once

#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanelCaption.h"
#include "TGDIPFill.h"
#include "TGDIPPictureContainer.h"
#include "TImageList.h"
#include "html_text.h"
#include "preset_style.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TGPGraphics;

/// A container whose face is a gradient fill (gradient, rounded corners, border, drop shadow),
/// with an optional caption text and rule and a block of HTML text with clickable links.
///
/// The panel is not opaque: its corners and shadow show what its parent painted, which Qt
/// composes behind it. With DoubleBuffered on (the default) the face is composed off-screen and
/// copied in one block; child controls are drawn over the face. Images and PictureContainer are
/// not owned and clear themselves when their component is destroyed. Every property change
/// repaints later. The HTML text's layout is kept between paints and link look-ups, so mouse
/// moves cost no parsing; it is dropped when the caption, the size, the fonts, the pictures'
/// sources or their content change. Main thread only.
class TAdvSmoothPanel : public QWidget, public IPresetStyled {
    Q_OBJECT
public:
    static constexpr std::uint32_t PackedVersion = 0x01000005;

    explicit TAdvSmoothPanel(QWidget *parent = nullptr, TCreation creation = TCreation::Stored);
    ~TAdvSmoothPanel() override;

    TAdvSmoothPanelCaption &Caption() const { return *FCaption; }
    /// Copies the given caption's properties (unless it is the panel's own) and repaints.
    void SetCaption(const TAdvSmoothPanelCaption &value);
    TGDIPFill &Fill() const { return *FFill; }
    /// Copies the given fill's properties (unless it is the panel's own) and repaints.
    void SetFill(const TGDIPFill &value);
    /// Pictures for the HTML text by index; null when none is set or it was destroyed.
    TImageList *Images() const { return FImages.data(); }
    void SetImages(TImageList *value);
    /// Pictures for the HTML text by name; null when none is set or it was destroyed.
    TGDIPPictureContainer *PictureContainer() const { return FPictureContainer.data(); }
    void SetPictureContainer(TGDIPPictureContainer *value);
    /// "1.0.0.5"; a stored value is accepted and ignored.
    QString Version() const;
    void SetVersion(const QString &value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value);

    /// Called with the link's target when a link of the HTML text is clicked.
    std::function<void(TAdvSmoothPanel *sender, const QString &anchor)> OnAnchorClick;

    /// Copies caption and fill from another panel and repaints; a source of another kind (null
    /// included) is ignored.
    void Assign(const QObject *source);
    /// Sets the fill to a vertical gradient and, for 0 to 9, the fill's, border's, caption's
    /// and rule's colours of that preset look.
    void ApplyPresetStyle(int style) override;

    /// Draws the face (fill, caption, rule, HTML text) on a surface whose origin is the panel's
    /// top-left corner, and records where the HTML text went.
    void Paint(TGPGraphics &graphics);
    /// The link target of the HTML text under (x, y) in panel coordinates; empty elsewhere.
    QString AnchorAt(int x, int y) const;
    /// Where the HTML text was last drawn (right and bottom just outside); all zero until then.
    const TRect &HTMLRect() const { return FHTMLRect; }
    /// The mouse was last seen over a link.
    bool OverAnchor() const { return FOverAnchor; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Changed();
    /// The effective shadow depth: the fill's offset when its shadow has a colour, else 0.
    int ShadowDepth() const;
    THTMLText HTMLText() const;
    /// The HTML text laid out in lines of at most width pixels, made on first use and kept
    /// (for the two widths a paint uses: the one it measures in and the one it draws in).
    const THTMLTextLayout &HTMLLayout(int width) const;
    /// Forgets the kept layouts; the next paint or look-up lays the text out again.
    void DropHTMLLayouts();
    /// Drops the kept layouts and repaints.
    void HTMLSourcesChanged();
    /// Draws the caption text and its rule in the content rectangle; returns the text height.
    float PaintCaption(TGPGraphics &graphics, const TGPRectF &content) const;
    void PaintHTML(TGPGraphics &graphics, TGPRectF content, float captionHeight);
    void PaintFace(TGPGraphics &graphics);

    bool FDesignerPlaced = false;
    bool FOverAnchor = false;
    TRect FHTMLRect;
    std::unique_ptr<TAdvSmoothPanelCaption> FCaption;
    QPointer<TGDIPPictureContainer> FPictureContainer;
    QPointer<TImageList> FImages;
    std::unique_ptr<TGDIPFill> FFill;
    bool FWindowMade = false;
    bool FDoubleBuffered = true;
    /// A layout of the HTML text with the width and the text it was made for.
    struct TKeptLayout {
        int Width = 0;
        THTMLText Text;
        std::unique_ptr<THTMLTextLayout> Layout;
    };
    mutable std::vector<TKeptLayout> FHTMLLayouts;
};
