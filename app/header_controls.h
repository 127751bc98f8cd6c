#pragma once

#include "TAdvSmoothLabel.h"
#include "TAdvSmoothPanel.h"
#include "TsuiProgressBar.h"

#include <QString>
#include <QStringList>

class QWidget;

/// The classes the window creates for its progress bar, its two header texts and the header's
/// panel, and the values it gives them.
using TProgressBarControl = TsuiProgressBar;
using TSmoothLabelControl = TAdvSmoothLabel;
using TSmoothPanelControl = TAdvSmoothPanel;

/// `ProgressBar1`: the skinned bar with the window's values (WinXP look, range 0 to 100 at 0,
/// its percentage as caption, the stored picture).
TProgressBarControl *CreateDownloadProgressBar(QWidget *parent);
/// `AdvSmoothLabel2`: the publisher's web address, red fading to a translucent black.
TSmoothLabelControl *CreateSiteLabel(const QString &siteAddress, QWidget *parent);
/// `AdvSmoothPanel3`: the amber panel with its grey-green border and shadow behind the client
/// product's title; no caption text of its own.
TSmoothPanelControl *CreateTitlePanel(QWidget *parent);
/// The fill values the window gives `AdvSmoothPanel3` (amber gradient, grey-green border,
/// rounding 3, shadow 5).
void ApplyTitlePanelFill(TGDIPFill &fill);
/// `AdvSmoothLabel1`: the client product's Persian title, black fading to a translucent black.
TSmoothLabelControl *CreateTitleLabel(const QString &title, QWidget *parent);

/// The Persian faces the header texts prefer, the best first.
QStringList PreferredHeaderFaces();

/// The face for the header texts: the first of `PreferredHeaderFaces` installed, and failing all
/// of them the system's general face, so the header is never blank. A text this face has no
/// letters for (the Latin address where the face is only Persian) is drawn in the face Qt would
/// fall back to for it.
QString HeaderFontFace();
