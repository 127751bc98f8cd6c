// The updater's entry point: the application, its title, the window and the message loop.
#include "Unit1.h"
#include "window_texts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    // Every top-level Qt window has its own task-bar button; the main window is the one shown.
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(WindowText::ApplicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zorvane/zorvane-updater.ico")));

    TForm1 form;
    Form1 = &form;
    form.show();
    const int result = QApplication::exec();
    Form1 = nullptr;
    return result;
}
