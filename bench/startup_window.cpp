// Start-up to the first painted frame: starts as the updater's entry point does (or, built with
// ZORVANE_MINIMAL_WINDOW, as a minimal Qt Widgets window with one label) and exits as soon as
// the window's first paint has finished. bench/run times whole processes of both, alternating.
#include <QApplication>
#include <QEvent>

#ifdef ZORVANE_MINIMAL_WINDOW
#include <QLabel>
#else
#include "Unit1.h"
#include "application_start.h"
#include "font_configuration_preload.h"
#endif

namespace {

/// Ends the application once the watched window has painted for the first time.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // The loop returns once this frame is painted and flushed; work queued to run after
        // the first frame (the window icon, the message boxes' preparation) is not timed.
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QCoreApplication::exit(0);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[]) {
#ifdef ZORVANE_MINIMAL_WINDOW
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    QLabel form(QStringLiteral("Zorvane"));
    form.installEventFilter(&firstPaint);
    form.show();
#else
    // The steps of app/main.cpp.
    FontConfigurationPreload fontConfiguration(TForm1::PrepareFaces);
    QApplication application(argc, argv);
    fontConfiguration.Wait();
    NameUpdaterApplication();
    FirstPaint firstPaint;
    TForm1 form;
    form.installEventFilter(&firstPaint);
    ShowUpdaterWindow(form);
#endif
    const int result = QApplication::exec();
#ifndef ZORVANE_MINIMAL_WINDOW
    fontConfiguration.Join();
#endif
    return result;
}
