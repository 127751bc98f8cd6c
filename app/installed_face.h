#pragma once

#include <QString>

/// The face to ask Qt for when `family` is wanted for `text`: `family` itself when it is
/// installed and writes the text's script (Arabic, otherwise Latin); where fontconfig chooses
/// faces, otherwise the first face fontconfig sorts for that family and script that writes it,
/// which is the face Qt's own fallback draws with. Naming it up front spares Qt that fallback
/// search, which on a machine with a few hundred fonts costs a millisecond or more per family and
/// script and was most of the window's time to its first frame. Elsewhere (Windows) `family`.
QString InstalledFaceFor(const QString &family, const QString &text);
