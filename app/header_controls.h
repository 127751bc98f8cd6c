#pragma once

#include "TsuiProgressBar.h"
#include "plain_controls.h"

#include <QString>

class QWidget;

/// The classes the window creates for its progress bar, its two header texts and the header's
/// panel, and the values it gives them. Swapping in the skinned and gradient controls changes
/// only these aliases and the functions below.
using TProgressBarControl = TsuiProgressBar;
using TSmoothLabelControl = PlainSmoothLabel;
using TSmoothPanelControl = PlainSmoothPanel;

/// `ProgressBar1`: the skinned bar with the window's values (WinXP look, range 0 to 100 at 0,
/// its percentage as caption, the stored picture).
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
