#pragma once

#include "plain_controls.h"

#include <QString>

class QWidget;

/// The classes the window creates for its progress bar, its two header texts and the header's
/// panel, and the values it gives them. Swapping in the skinned and gradient controls changes
/// only these aliases and the functions below.
using TProgressBarControl = PlainProgressBar;
using TSmoothLabelControl = PlainSmoothLabel;
using TSmoothPanelControl = PlainSmoothPanel;

/// `ProgressBar1`: range 0 to 100, position 0, its percentage as caption.
TProgressBarControl *CreateDownloadProgressBar(QWidget *parent);
/// `AdvSmoothLabel2`: the publisher's web address.
TSmoothLabelControl *CreateSiteLabel(const QString &siteAddress, QWidget *parent);
/// `AdvSmoothPanel3`: the panel behind the client product's title.
TSmoothPanelControl *CreateTitlePanel(QWidget *parent);
/// `AdvSmoothLabel1`: the client product's Persian title.
TSmoothLabelControl *CreateTitleLabel(const QString &title, QWidget *parent);

/// The face for the header texts: "B Yekan" when installed, otherwise the first installed face
/// that covers Persian, so the header is never blank.
QString HeaderFontFace();
