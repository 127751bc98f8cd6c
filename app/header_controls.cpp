#include "header_controls.h"

#include "TFont.h"
#include "progress_bar1_description.h"

#include <QFontDatabase>

namespace {

QFont HeaderFont() {
    TFont font;
    font.Name = HeaderFontFace();
    font.Height = -16;
    font.Charset = TFontCharset::Arabic;
    return font.ToQFont();
}

} // namespace

QString HeaderFontFace() {
    const QStringList installed = QFontDatabase::families();
    for (const char *face : {"B Yekan", "Vazirmatn", "Noto Sans Arabic", "Noto Naskh Arabic",
                             "Tahoma", "DejaVu Sans"}) {
        const QString name = QString::fromLatin1(face);
        if (installed.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return QStringLiteral("B Yekan");
}

TProgressBarControl *CreateDownloadProgressBar(QWidget *parent) {
    auto *bar = new TProgressBarControl(parent);
    ApplyProgressBar1Description(*bar);
    return bar;
}

TSmoothLabelControl *CreateSiteLabel(const QString &siteAddress, QWidget *parent) {
    auto *label = new TSmoothLabelControl(siteAddress, clRed, parent);
    label->setFont(HeaderFont());
    return label;
}

TSmoothPanelControl *CreateTitlePanel(QWidget *parent) {
    return new TSmoothPanelControl(10092543, 7042912, parent);
}

TSmoothLabelControl *CreateTitleLabel(const QString &title, QWidget *parent) {
    auto *label = new TSmoothLabelControl(title, clBlack, parent);
    label->setFont(HeaderFont());
    return label;
}
