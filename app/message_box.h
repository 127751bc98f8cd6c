#pragma once

#include <QString>

#include <functional>

class QWidget;

/// The three kinds of message box the updater shows.
enum class TMessageKind { Error, Information, Warning };

/// The caption of a kind's box: "Error", "Information" or "Warning".
QString MessageCaption(TMessageKind kind);

/// Shows the user a message box with one "OK" button.
///
/// `Show` returns at once; `onDismissed` runs on the main thread when the user has dismissed the
/// box. When the box's parent is destroyed first, `onDismissed` never runs.
class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    virtual void Show(QWidget *parent, TMessageKind kind, const QString &caption,
                      const QString &text, std::function<void()> onDismissed) = 0;
};

/// The real boxes: application-modal QMessageBox with the kind's icon, right to left.
MessageBoxSeam &QtMessageBoxes();

/// Loads ahead what the first real box needs, with `text` as its kind of text: the style's
/// icon, the fonts for the text's script, the layout. The box at the end of an update then
/// appears without that wait (10-15 ms of the first box's 11-16 ms on Linux). Shows nothing.
/// Main thread.
void PrepareMessageBoxes(const QString &text);
