#include "application_start.h"

#include "message_box.h"
#include "window_texts.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMetaObject>

namespace {

/// Watches a window for its first paint, then queues its work and goes.
class FirstFrameWatch final : public QObject {
public:
    FirstFrameWatch(QWidget &window, std::function<void()> work)
        : QObject(&window), work_(std::move(work)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            watched->removeEventFilter(this);
            // The paint itself runs after this filter returns, and whatever it queues runs on
            // the loop's current turn: the work comes on the turn after, never delaying the
            // frame.
            RunAfterTurns(2);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    /// Runs the work `turns` turns of the event loop from now, then goes.
    void RunAfterTurns(int turns) {
        QMetaObject::invokeMethod(
            this,
            [this, turns] {
                if (turns > 1) {
                    RunAfterTurns(turns - 1);
                    return;
                }
                const std::function<void()> work = std::move(work_);
                deleteLater();
                work();
            },
            Qt::QueuedConnection);
    }

    std::function<void()> work_;
    bool queued_ = false;
};

} // namespace

void NameUpdaterApplication() {
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(WindowText::ApplicationTitle());
}

void ShowUpdaterWindow(QWidget &window) {
    RunAfterFirstFrame(window, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/zorvane/zorvane-updater.ico")));
        PrepareMessageBoxes(WindowText::UpdateSucceeded());
    });
    window.show();
}

void RunAfterFirstFrame(QWidget &window, std::function<void()> work) {
    new FirstFrameWatch(window, std::move(work)); // owned by the window
}
