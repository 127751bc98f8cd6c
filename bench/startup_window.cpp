// Start-up to the first painted frame: starts as the updater's entry point does (or, built with
// ZORVANE_MINIMAL_WINDOW, as a minimal Qt Widgets window with one label) and exits as soon as
// the window's first paint has finished. bench/run times whole processes of both, alternating.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#ifdef ZORVANE_MINIMAL_WINDOW
#include <QLabel>
#else
#include "Unit1.h"
#include "window_texts.h"

#include <QIcon>
#endif

namespace {

/// Ends the application once the watched window has painted for the first time.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    FirstPaint firstPaint;
#ifdef ZORVANE_MINIMAL_WINDOW
    QLabel form(QStringLiteral("Zorvane"));
#else
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(WindowText::ApplicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zorvane/zorvane-updater.ico")));
    TForm1 form;
#endif
    form.installEventFilter(&firstPaint);
    form.show();
    return QApplication::exec();
}
