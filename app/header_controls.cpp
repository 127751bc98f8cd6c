#include "header_controls.h"

#include "TFont.h"
#include "installed_face.h"
#include "progress_bar1_description.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

/// The header's font for `text`: 16 pixels (12 points), Arabic character set, window-text colour.
TFont HeaderFont(const QString &text) {
    TFont font;
    font.Name = InstalledFaceFor(HeaderFontFace(), text);
    font.Height = -16;
    font.Charset = TFontCharset::Arabic;
    font.Color = clWindowText;
    return font;
}

/// The fill values both header labels carry (drawn only if a label stops being transparent).
void ApplyLabelFill(TGDIPFill &fill) {
    fill.SetColorMirror(clNone);
    fill.SetColorMirrorTo(clNone);
    fill.SetBorderColor(clNone);
    fill.SetRounding(0);
    fill.SetShadowOffset(0);
    fill.SetAngle(0);
    fill.SetBackGroundPictureLeft(0);
    fill.SetBackGroundPictureTop(0);
    fill.SetPictureLeft(0);
    fill.SetPictureTop(0);
}

TSmoothLabelControl *CreateHeaderLabel(const QString &text, TColor colorStart, QWidget *parent) {
    auto *label = new TSmoothLabelControl(parent);
    ApplyLabelFill(label->Fill());
    TAdvSmoothLabelCaption &caption = label->Caption();
    caption.SetText(text);
    caption.SetFont(HeaderFont(text));
    caption.SetColorStart(colorStart);
    caption.SetColorEnd(clBlack);
    caption.SetOpacityEnd(100);
    return label;
}

} // namespace

QStringList PreferredHeaderFaces() {
    return {QStringLiteral("B Yekan"),          QStringLiteral("Vazirmatn"),
            QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Naskh Arabic"),
            QStringLiteral("Tahoma"),           QStringLiteral("DejaVu Sans")};
}

QString HeaderFontFace() {
    const QStringList installed = QFontDatabase::families();
    for (const QString &name : PreferredHeaderFaces())
        if (installed.contains(name, Qt::CaseInsensitive))
            return name;
    // None of them: the system's general face, named as the family it resolves to, which is
    // installed and so found by the labels' lookup by name.
    return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
}

TProgressBarControl *CreateDownloadProgressBar(QWidget *parent) {
    auto *bar = new TProgressBarControl(parent);
    ApplyProgressBar1Description(*bar);
    return bar;
}

TSmoothLabelControl *CreateSiteLabel(const QString &siteAddress, QWidget *parent) {
    return CreateHeaderLabel(siteAddress, clRed, parent);
}

void ApplyTitlePanelFill(TGDIPFill &fill) {
    fill.SetColor(10092543);
    fill.SetColorTo(52479);
    fill.SetColorMirror(clNone);
    fill.SetColorMirrorTo(clNone);
    fill.SetGradientMirrorType(gtVertical);
    fill.SetBorderColor(7042912);
    fill.SetRounding(3);
    fill.SetShadowOffset(5);
    fill.SetAngle(0);
    fill.SetBackGroundPictureLeft(0);
    fill.SetBackGroundPictureTop(0);
    fill.SetPictureLeft(0);
    fill.SetPictureTop(0);
}

TSmoothPanelControl *CreateTitlePanel(QWidget *parent) {
    auto *panel = new TSmoothPanelControl(parent);
    ApplyTitlePanelFill(panel->Fill());
    TAdvSmoothPanelCaption &caption = panel->Caption();
    TFont captionFont;
    // The panel's captions stay empty; their face is Tahoma's stand-in for Latin text.
    captionFont.Name = InstalledFaceFor(QStringLiteral("Tahoma"), QString());
    captionFont.Height = -16;
    caption.SetFont(captionFont);
    TFont htmlFont;
    htmlFont.Name = captionFont.Name;
    htmlFont.Height = -11;
    caption.SetHTMLFont(htmlFont);
    caption.SetColorStart(clBlack);
    caption.SetColorEnd(clBlack);
    caption.SetLineColor(clBlack);
    return panel;
}

TSmoothLabelControl *CreateTitleLabel(const QString &title, QWidget *parent) {
    return CreateHeaderLabel(title, clBlack, parent);
}
