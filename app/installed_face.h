#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

/// The face to ask Qt for when `family` is wanted for `text`: `family` itself when it is
/// installed and writes the text's script (Arabic, otherwise Latin); where fontconfig chooses
/// faces, otherwise the first face fontconfig sorts for that family and script that writes it,
/// which is the face Qt's own fallback draws with. Naming it up front spares Qt that fallback
/// search, which on a machine with a few hundred fonts costs a millisecond or more per family and
/// script before the window's first frame. Elsewhere (Windows) `family`.
QString InstalledFaceFor(const QString &family, const QString &text);

/// Sorts ahead, on the calling thread, what each face (with whether its text is Arabic) falls
/// back to, so that `InstalledFaceFor` finds it ready. Needs only fontconfig's configuration, not
/// the application object; a caller of `InstalledFaceFor` that asks meanwhile waits for the sort.
/// Does nothing where fontconfig does not choose faces.
void PrepareFallbackOrders(std::initializer_list<std::pair<QString, bool>> faces);

/// The first of `families` that fontconfig lists as installed; an empty string when none is, or
/// where fontconfig does not choose faces. Needs only fontconfig's configuration.
QString FirstInstalledFamily(const QStringList &families);
